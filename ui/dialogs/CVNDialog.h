#pragma once

// A dialog with context help: F1 and its Hilfe button open its topic, Direkthilfe and the
// right-click menu its controls' popups, and its controls show help tips when they are on.

#include <QDialog>

#include "ui/help/CVNHelpWindow.h"

class QDialogButtonBox;
class QPushButton;

class CVNDialog : public QDialog, public CVNHelpWindow {
    Q_OBJECT
public:
    explicit CVNDialog(int templateId, QWidget* parent = nullptr);

    // Adds the button "&Hilfe" (id 9), which opens the dialog's topic.
    QPushButton* AddHelpButton(QDialogButtonBox* buttons);

    // The Hilfe button.
    void OnHelp();

protected:
    bool event(QEvent* e) override;
};
