#pragma once

// A page of an options dialog. Its fields are exchanged with its controls: into the controls
// when the page is shown, back (with checks) when the dialog is closed with OK.

#include <QWidget>

class CVNPropertyPage : public QWidget {
    Q_OBJECT
public:
    CVNPropertyPage(const QString& title, QWidget* parent = nullptr);
    const QString& title() const { return title_; }

    // save false: fields to controls. save true: controls to fields; false when a control
    // holds a value that does not pass, after telling the user and focusing that control.
    virtual bool DoDataExchange(bool save) = 0;

private:
    QString title_;
};
