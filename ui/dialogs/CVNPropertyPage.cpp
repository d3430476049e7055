#include "ui/dialogs/CVNPropertyPage.h"

CVNPropertyPage::CVNPropertyPage(const QString& title, QWidget* parent)
    : QWidget(parent), title_(title) {}
