#pragma once

// A page of an options dialog. Its fields are exchanged with its controls: into the controls
// when the page is shown, back (with checks) when the dialog is closed with OK. Its controls
// have context help like a dialog's; F1 and the sheet's Hilfe open the page's topic.

#include <QWidget>

#include "ui/help/CVNHelpWindow.h"

class CVNPropertyPage : public QWidget, public CVNHelpWindow {
    Q_OBJECT
public:
    CVNPropertyPage(int templateId, const QString& title, QWidget* parent = nullptr);
    const QString& title() const { return title_; }

    // save false: fields to controls. save true: controls to fields; false when a control
    // holds a value that does not pass, after telling the user and focusing that control.
    virtual bool DoDataExchange(bool save) = 0;

protected:
    bool event(QEvent* e) override;

private:
    QString title_;
};
