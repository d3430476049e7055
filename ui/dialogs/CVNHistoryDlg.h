#pragma once

// Bearbeiten > Verlauf: the runs of the undo journal, newest first, with their folder, patterns,
// number of files and whether they were taken back; the chosen run can be taken back, with the
// same checks as Rückgängig, also after the program was closed in between.

#include <functional>
#include <string>

#include "ui/dialogs/CVNDialog.h"

class Journal;
class QPushButton;
class QTreeWidget;

class CVNHistoryDlg : public CVNDialog {
    Q_OBJECT
public:
    // takeBack carries out the taking back of a run (the form knows its list and undo log).
    CVNHistoryDlg(Journal& journal, std::function<void(const std::string& runId)> takeBack,
                  QWidget* parent = nullptr);

    QTreeWidget* runList() const { return runs_; }
    QPushButton* takeBackButton() const { return takeBack_; }

    // Reads the journal again.
    void reload();

private:
    void onTakeBack();
    void updateButton();

    Journal& journal_;
    std::function<void(const std::string&)> takeBackRun_;
    QTreeWidget* runs_;
    QPushButton* takeBack_;
};
