#pragma once

// "Info über Orvane": icon, version, rights notice, the project's address with its support
// e-mail and homepage links, and "Schließen".

#include <QDialog>

class CVNVersionInfo;

class CROZariduAboutDlg : public QDialog {
    Q_OBJECT
public:
    CROZariduAboutDlg(const CVNVersionInfo& version, QWidget* parent = nullptr);
};
