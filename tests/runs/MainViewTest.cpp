// The main form: its modes, enabled states and the runs driven through its buttons.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>

#include "filelist/CVNFileListCtrl.h"
#include "res/LoadString.h"
#include "runs/CROZariduView.h"
#include "shell/CVNComboBoxMRU.h"
#include "shell/CVNPars.h"
#include "tests/support/QtApp.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/TempDir.h"

namespace {

class MainView : public ::testing::Test {
protected:
    QPushButton* button(int id) const { return qobject_cast<QPushButton*>(view.control(id)); }
    QCheckBox* box(int id) const { return qobject_cast<QCheckBox*>(view.control(id)); }
    bool shown(int id) const { return !view.control(id)->isHidden(); }

    // The column titles in visible order.
    std::vector<std::string> columns() const {
        std::vector<std::string> titles;
        const CVNFileListCtrl& l = *view.fileList();
        for (int p = 0; l.GetColumnId(p) >= 0; ++p)
            titles.push_back(l.model()->headerData(l.GetColumnId(p), Qt::Horizontal).toString().toStdString());
        return titles;
    }

    QApplication& app = qtApp(); // before any widget member
    CROZariduPars pars;
    ScriptedPresenter presenter;
    ScopedMessagePresenter guard{presenter};
    CROZariduView view{pars};
};

} // namespace

TEST_F(MainView, EveryControlCarriesItsId) {
    for (int id = 1040; id <= 1083; ++id) {
        if ((id >= 1054 && id <= 1056) || id == 1067 || id == 1068) continue;
        EXPECT_NE(view.control(id), nullptr) << id;
    }
    EXPECT_EQ(button(IDC_FIND)->text().toStdString(), "&Finden");
    EXPECT_EQ(button(IDC_RENAME_ALL)->text().toStdString(), "Alle U&mbenennen");
    EXPECT_EQ(button(IDC_CHANGE_ALL)->text().toStdString(), "Alle U&mändern");
    EXPECT_TRUE(button(IDC_FIND)->isDefault());
}

TEST_F(MainView, InitialValues) {
    EXPECT_TRUE(box(IDC_SUBFOLDERS)->isChecked());
    EXPECT_FALSE(box(IDC_REGEXP)->isChecked());
    EXPECT_FALSE(box(IDC_PREVIEW)->isChecked());
    EXPECT_TRUE(box(IDC_WHOLE_LIST)->isChecked());
    EXPECT_EQ(view.viewMode(), VIEW_FIND_RENAME);
    EXPECT_FALSE(button(IDC_STOP)->isEnabled());
    for (int id = IDC_DATE_CREATED; id <= IDC_TIME_ACCESSED; ++id)
        EXPECT_FALSE(view.control(id)->isEnabled()) << id;
}

TEST_F(MainView, ModeSwitchShowsEachModesControlsAndRestoresColumns) {
    const std::vector<std::string> findColumns{"Name", "Im Ordner", "Größe", "Typ", "Geändert am"};
    const std::vector<std::string> dateColumns{"Name", "Im Ordner", "Erstellt am", "Geändert am",
                                               "Letzter Zugriff", "Attribute"};
    EXPECT_EQ(columns(), findColumns);

    struct Row { int mode; std::vector<int> shownIds, hiddenIds; const std::vector<std::string>* cols; };
    const Row rows[] = {
        {VIEW_DATE_ATTRIBUTES, {IDC_CHANGE, IDC_CHANGE_ALL, IDC_DATE_GROUP, IDC_ATTRIBUTE_GROUP, IDC_SEARCH, IDC_FOLDER},
         {IDC_REPLACE_LABEL, IDC_REPLACE, IDC_REPLACE_MENU, IDC_RENAME, IDC_RENAME_ALL}, &dateColumns},
        {VIEW_FIND_RENAME, {IDC_REPLACE_LABEL, IDC_REPLACE, IDC_REPLACE_MENU, IDC_RENAME, IDC_RENAME_ALL, IDC_SEARCH},
         {IDC_CHANGE, IDC_CHANGE_ALL, IDC_DATE_GROUP, IDC_ATTRIBUTE_GROUP}, &findColumns},
    };
    for (const Row& r : rows) {
        view.SetViewMode(r.mode);
        EXPECT_EQ(view.viewMode(), r.mode);
        for (int id : r.shownIds) EXPECT_TRUE(shown(id)) << r.mode << " " << id;
        for (int id : r.hiddenIds) EXPECT_FALSE(shown(id)) << r.mode << " " << id;
        EXPECT_EQ(columns(), *r.cols);
    }
}

TEST_F(MainView, EmptyingTheFolderBoxDisablesFind) {
    EXPECT_FALSE(button(IDC_FIND)->isEnabled());
    view.folderBox()->setEditText("/tmp");
    EXPECT_TRUE(button(IDC_FIND)->isEnabled());
    view.folderBox()->setEditText("");
    EXPECT_FALSE(button(IDC_FIND)->isEnabled());
}

TEST_F(MainView, ChangeBoxesEnableTheirInputs) {
    view.SetViewMode(VIEW_DATE_ATTRIBUTES);
    box(IDC_CHANGE_MODIFIED)->click();
    EXPECT_TRUE(view.control(IDC_DATE_MODIFIED)->isEnabled());
    EXPECT_TRUE(view.control(IDC_TIME_MODIFIED)->isEnabled());
    EXPECT_FALSE(view.control(IDC_DATE_CREATED)->isEnabled());
    box(IDC_CHANGE_HIDDEN)->click();
    EXPECT_TRUE(view.control(IDC_VALUE_HIDDEN)->isEnabled());
    EXPECT_FALSE(view.control(IDC_VALUE_SYSTEM)->isEnabled());
    // Without rows the change buttons stay off even with a checked box.
    EXPECT_FALSE(button(IDC_CHANGE)->isEnabled());
    box(IDC_CHANGE_MODIFIED)->click();
    EXPECT_FALSE(view.control(IDC_DATE_MODIFIED)->isEnabled());
}
