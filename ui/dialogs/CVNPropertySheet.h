#pragma once

// The options dialog: pages on tabs, OK and Abbrechen. OK first takes every page's values back
// and stays open at the first page that refuses.

#include <QDialog>
#include <vector>

class QTabWidget;
class CVNPropertyPage;

class CVNPropertySheet : public QDialog {
    Q_OBJECT
public:
    CVNPropertySheet(const QString& caption, QWidget* parent, int selectPage = 0);

    // The sheet takes ownership.
    void AddPage(CVNPropertyPage* page);
    int DoModal();

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTabWidget* tabs_;
    std::vector<CVNPropertyPage*> pages_;
    int selectPage_;
    bool filled_ = false;
};
