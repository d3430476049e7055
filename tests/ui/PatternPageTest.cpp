// The pattern editor and the options page "Such-/Ersatzmuster" as the user works them.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "tests/platform/XdgSandbox.h"
#include "tests/support/QtApp.h"
#include "tests/support/RegisteredApp.h"
#include "tests/support/ScriptedPresenter.h"
#include "ui/dialogs/CROZariduPattDlg.h"
#include "ui/dialogs/CROZariduPattPage.h"
#include "ui/dialogs/CVNPatternListCtrl.h"

namespace {

// Runs steps on the editor that the next modal loop opens, then closes it with OK.
void onEditor(std::function<void(CROZariduPattDlg&)> steps) {
    QTimer::singleShot(0, [steps] {
        auto* editor = qobject_cast<CROZariduPattDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        steps(*editor);
        editor->accept();
        if (editor->isVisible()) editor->reject(); // refused: the test fails, but does not hang
    });
}

class PatternPage : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [type, name, search] :
             {std::tuple(0, "Bilder", "*.jpg"), std::tuple(0, "Texte", "*.txt"), std::tuple(1, "Ziffern", "[0-9]+")}) {
            CROZariduPattern p(1, type, name);
            p.m_searchPattern = search;
            ASSERT_TRUE(p.Save(settings));
        }
        page.DoDataExchange(false);
        page.show();
    }
    std::vector<std::string> shownNames(int type) const {
        std::vector<std::string> names;
        const CVNPatternListCtrl* l = page.list(type);
        for (int i = 0; i < l->topLevelItemCount(); ++i)
            names.push_back(l->topLevelItem(i)->text(0).toStdString());
        return names;
    }

    QApplication& app = qtApp();
    ScriptedPresenter presenter;
    ScopedMessagePresenter guard{presenter};
    XdgSandbox xdg;
    const CVNAppInfo settings = registeredApp();
    CROZariduPattPage page{settings};
};

} // namespace

TEST_F(PatternPage, AddEditAndRemoveWithButtonsKeysAndDoubleClick) {
    CVNPatternListCtrl* list = page.list(0);
    // Insert in the list adds; the same name in the other type's list is allowed.
    onEditor([](CROZariduPattDlg& e) {
        e.menuTextEdit()->setText("Ziffern");
        e.searchEdit()->setText("*[0-9]*");
    });
    QTest::keyClick(list, Qt::Key_Insert);
    EXPECT_EQ(shownNames(0), (std::vector<std::string>{"Bilder", "Texte", "Ziffern"}));

    // A double click edits that item; the editor knows its name may stay.
    onEditor([](CROZariduPattDlg& e) {
        EXPECT_EQ(e.menuTextEdit()->text().toStdString(), "Texte");
        e.searchEdit()->setText("*.md");
    });
    const QRect second = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(list->patterns().entries()[1].record.m_searchPattern, "*.md");

    // Delete asks first; No keeps the pattern.
    presenter.answer({IDNO, IDYES});
    list->SelectIndex(0);
    QTest::keyClick(list, Qt::Key_Delete);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, "Möchten Sie 'Bilder' wirklich löschen?");
    EXPECT_EQ(shownNames(0).size(), 3u);
    page.removeButton()->click();
    EXPECT_EQ(shownNames(0), (std::vector<std::string>{"Texte", "Ziffern"}));
    EXPECT_EQ(list->SelectedIndex(), 0) << "the next item takes the place";
}
