#pragma once

// The options dialog: pages on tabs, OK, Abbrechen and Hilfe. OK first takes every page's
// values back and stays open at the first page that refuses. F1, Hilfe and a Direkthilfe click
// outside the controls open the topic of the page shown.

#include <QDialog>
#include <vector>

#include "ui/help/CVNHelpWindow.h"

class QTabWidget;
class CVNPropertyPage;

class CVNPropertySheet : public QDialog, public CVNHelpWindow {
    Q_OBJECT
public:
    CVNPropertySheet(const QString& caption, QWidget* parent, int selectPage = 0);

    // The sheet takes ownership.
    void AddPage(CVNPropertyPage* page);
    int DoModal();
    CVNPropertyPage* activePage() const;

    void accept() override;
    std::uint32_t windowHelpId() const override;
    void OnHelp();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* event) override;

private:
    QTabWidget* tabs_;
    std::vector<CVNPropertyPage*> pages_;
    int selectPage_;
    bool filled_ = false;
};
