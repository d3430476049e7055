#pragma once

// The presenter of the program: a QMessageBox titled "Orvane". The only place that uses
// QMessageBox; the German button texts come from Qt's translations, which the application loads.

#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "core/messages/MessagePresenter.h"

class QtMessagePresenter final : public MessagePresenter {
public:
    // Boxes belong to parent, or to the active window when there is no parent.
    explicit QtMessagePresenter(QWidget* parent = nullptr) : parent_(parent) {}

    int show(const std::string& text, unsigned type, unsigned helpId) override;

    // The box for a message, configured but not shown; kept apart from show so that it can be
    // checked without a modal loop. The help id is the dynamic property "helpId".
    static std::unique_ptr<QMessageBox> createBox(const std::string& text, unsigned type,
                                                  unsigned helpId, QWidget* parent = nullptr);

private:
    QPointer<QWidget> parent_;
};
