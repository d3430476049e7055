#pragma once

// A form inside the main window with context help: its controls show help tips when they are
// on, Direkthilfe and the right-click menu their popups, F1 its topic.

#include <QWidget>

#include "ui/help/CVNHelpWindow.h"

class CVNFormView : public QWidget, public CVNHelpWindow {
    Q_OBJECT
public:
    explicit CVNFormView(int templateId, QWidget* parent = nullptr);

protected:
    bool event(QEvent* e) override;
};
