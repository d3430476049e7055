#pragma once

// "Info über Orvane": icon, version, rights notice, the project's address with its support
// e-mail and homepage links, and "Schließen".

#include "ui/dialogs/CVNDialog.h"

class CVNVersionInfo;

class CROZariduAboutDlg : public CVNDialog {
    Q_OBJECT
public:
    CROZariduAboutDlg(const CVNVersionInfo& version, QWidget* parent = nullptr);
};
