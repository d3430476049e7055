#pragma once

// The options page "Allgemein": the largest number of listed files, what a rename or change run
// does when a file fails, and whether help popups appear by themselves.

#include <cstdint>

#include "ui/dialogs/CVNPropertyPage.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

class CROZariduGnrlPage : public CVNPropertyPage {
    Q_OBJECT
public:
    explicit CROZariduGnrlPage(QWidget* parent = nullptr);

    bool DoDataExchange(bool save) override;

    std::int32_t m_maxFiles = 0;
    std::int32_t m_renAllMode = 0; // 0: stop the run, 1: go on with the next file
    std::int32_t m_showHelpTips = 0;

    QLineEdit* maxFilesEdit() const { return maxFiles_; }
    QRadioButton* modeButton(int mode) const { return mode == 0 ? stop_ : goOn_; }
    QCheckBox* helpTipsBox() const { return helpTips_; }

private:
    QLineEdit* maxFiles_;
    QRadioButton* stop_;
    QRadioButton* goOn_;
    QCheckBox* helpTips_;
};
