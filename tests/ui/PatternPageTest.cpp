// The pattern editor and the options page "Such-/Ersatzmuster" as the user works them.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "core/settings/PatternEditorRules.h"
#include "tests/platform/XdgSandbox.h"
#include "tests/support/QtApp.h"
#include "tests/support/RegisteredApp.h"
#include "tests/support/ScriptedPresenter.h"
#include "ui/dialogs/CROZariduPattDlg.h"
#include "ui/dialogs/CROZariduPattPage.h"
#include "ui/dialogs/CVNPatternListCtrl.h"

namespace {

CROZariduPattern pattern(int type, const std::string& name, const std::string& search,
                         const std::string& replacement, int caretField = 0, int caretPos = 0) {
    CROZariduPattern p(1, type, name);
    p.m_searchPattern = search;
    p.m_replacePattern = replacement;
    p.m_caretPosType = caretField;
    p.m_caretPos = caretPos;
    return p;
}

// Runs steps on the editor that the next modal loop opens, then closes it with OK or Abbrechen.
void onEditor(std::function<void(CROZariduPattDlg&)> steps, bool ok = true) {
    QTimer::singleShot(0, [steps, ok] {
        auto* editor = qobject_cast<CROZariduPattDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        steps(*editor);
        if (!editor->isVisible()) return;
        if (ok) editor->accept();
        if (editor->isVisible()) editor->reject();
    });
}

class PatternEditor : public ::testing::Test {
protected:
    QApplication& app = qtApp();
    ScriptedPresenter presenter;
    ScopedMessagePresenter guard{presenter};
};

} // namespace

// Each refusal keeps the editor open with the focus on the field to mend; the number field is
// only open for "im Muster nach dem".
TEST_F(PatternEditor, OkStaysOpenAtTheFieldThatDoesNotPass) {
    CROZariduPattDlg editor(CROZariduPattDlg::kAdd, 1, 0, {"Fotos"});
    editor.show();
    EXPECT_FALSE(editor.caretNumberEdit()->isEnabled());
    editor.caretPlaceButton(kCaretAfterChars)->click();
    EXPECT_TRUE(editor.caretNumberEdit()->isEnabled());
    editor.caretPlaceButton(kCaretAtStart)->click();
    EXPECT_FALSE(editor.caretNumberEdit()->isEnabled());

    const struct {
        const char* name;
        const char* search;
        int place;
        const char* number;
        QLineEdit* (CROZariduPattDlg::*field)() const;
    } steps[] = {
        {"", "*.jpg", kCaretAtEnd, "0", &CROZariduPattDlg::menuTextEdit},
        {"fotos", "*.jpg", kCaretAtEnd, "0", &CROZariduPattDlg::menuTextEdit},
        {"Bilder", "*.jpg", kCaretAfterChars, "6", &CROZariduPattDlg::caretNumberEdit},
        {"Bilder", "", kCaretAtEnd, "0", &CROZariduPattDlg::searchEdit},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        presenter.clear();
        editor.menuTextEdit()->setText(QString::fromUtf8(s.name));
        editor.searchEdit()->setText(QString::fromUtf8(s.search));
        editor.replacementEdit()->clear();
        editor.caretPlaceButton(s.place)->click();
        editor.caretNumberEdit()->setText(QString::fromUtf8(s.number));
        editor.accept();
        EXPECT_TRUE(editor.isVisible());
        ASSERT_EQ(presenter.shown().size(), 1u);
        EXPECT_EQ(presenter.shown()[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
        EXPECT_EQ(editor.focusWidget(), (editor.*s.field)());
    }
    editor.searchEdit()->setText("*.jpg");
    editor.caretNumberEdit()->setText("5");
    editor.accept();
    EXPECT_EQ(editor.result(), QDialog::Accepted);
    EXPECT_EQ(editor.record().m_caretPos, 5);
}

// A caret stored at the pattern's end shows as "am Ende", and OK without changes keeps the
// record as it was.
TEST_F(PatternEditor, EditingShowsTheRecordAndGivesItBack) {
    CROZariduPattern stored = pattern(1, "Jahr vorne", "^(.*) ([0-9]{4})$", "\\2_\\1", 1, 5);
    stored.m_statusline = "Jahr an den Anfang";
    CROZariduPattDlg editor(CROZariduPattDlg::kEdit, 1, 1, {"Anderes", "Jahr vorne"});
    editor.SetRecord(stored);
    EXPECT_TRUE(editor.caretFieldButton(1)->isChecked());
    EXPECT_TRUE(editor.caretPlaceButton(kCaretAtEnd)->isChecked());
    editor.accept();
    ASSERT_EQ(editor.result(), QDialog::Accepted)
        << (presenter.shown().empty() ? "" : presenter.shown()[0].text);
    EXPECT_EQ(editor.record(), stored);
}

class PatternPage : public PatternEditor {
protected:
    void SetUp() override {
        for (const auto& p :
             {pattern(0, "Bilder", "*.jpg", "Bild_:(01).jpg"), pattern(0, "Texte", "*.txt", ""),
              pattern(1, "Ziffern", "[0-9]+", "")})
            ASSERT_TRUE(p.Save(settings));
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

    XdgSandbox xdg;
    const CVNAppInfo settings = registeredApp();
    CROZariduPattPage page{settings};
};

// The type chooses the list that can be worked on; Bearbeiten and Entfernen need a selection.
TEST_F(PatternPage, TheTypeChoosesTheListAndTheSelectionTheButtons) {
    EXPECT_EQ(shownNames(0), (std::vector<std::string>{"Bilder", "Texte"}));
    EXPECT_EQ(shownNames(1), (std::vector<std::string>{"Ziffern"}));
    EXPECT_TRUE(page.list(0)->isEnabled() && !page.list(1)->isEnabled());
    EXPECT_TRUE(page.editButton()->isEnabled()); // the first item is selected at the start
    page.list(0)->clearSelection();
    EXPECT_FALSE(page.editButton()->isEnabled() || page.removeButton()->isEnabled());
    page.typeButton(1)->click();
    EXPECT_TRUE(page.list(1)->isEnabled() && !page.list(0)->isEnabled());
    EXPECT_TRUE(page.removeButton()->isEnabled());
}

TEST_F(PatternPage, AddEditAndRemoveWithButtonsKeysAndDoubleClick) {
    CVNPatternListCtrl* list = page.list(0);
    // Insert in the list adds; the same name in the other type's list is allowed.
    onEditor([](CROZariduPattDlg& e) {
        e.menuTextEdit()->setText("Ziffern");
        e.searchEdit()->setText("*[0-9]*");
    });
    QTest::keyClick(list, Qt::Key_Insert);
    EXPECT_EQ(shownNames(0), (std::vector<std::string>{"Bilder", "Texte", "Ziffern"}));
    EXPECT_EQ(list->SelectedIndex(), 2);
    EXPECT_EQ(list->patterns().entries()[2].state, PatternList::kNew);

    // A double click edits that item; the editor knows its name may stay.
    onEditor([](CROZariduPattDlg& e) {
        EXPECT_EQ(e.menuTextEdit()->text().toStdString(), "Texte");
        e.searchEdit()->setText("*.md");
    });
    const QRect second = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(list->patterns().entries()[1].record.m_searchPattern, "*.md");
    EXPECT_EQ(list->patterns().entries()[1].state, PatternList::kChanged);

    // Delete asks first; No keeps the pattern.
    presenter.answer({IDNO, IDYES});
    list->SelectIndex(0);
    QTest::keyClick(list, Qt::Key_Delete);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, "Möchten Sie 'Bilder' wirklich löschen?");
    EXPECT_EQ(presenter.shown()[0].type, unsigned(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(shownNames(0).size(), 3u);
    page.removeButton()->click();
    EXPECT_EQ(shownNames(0), (std::vector<std::string>{"Texte", "Ziffern"}));
    EXPECT_EQ(list->SelectedIndex(), 0) << "the next item takes the place";

    // Nothing is written before the page is saved.
    std::vector<std::string> stored;
    CROZariduPattern::ListNames(settings, 1, 0, stored);
    EXPECT_EQ(stored, (std::vector<std::string>{"Bilder", "Texte"}));
    ASSERT_TRUE(page.Save());
    CROZariduPattern::ListNames(settings, 1, 0, stored);
    EXPECT_EQ(stored, (std::vector<std::string>{"Texte", "Ziffern"}));
}

TEST_F(PatternPage, AHeaderClickSortsAndASecondOneTurnsTheOrder) {
    CVNPatternListCtrl* list = page.list(0);
    list->SelectIndex(1); // Texte
    const int searchColumn = 1;
    list->header()->sectionClicked(searchColumn);
    EXPECT_EQ(shownNames(0), (std::vector<std::string>{"Bilder", "Texte"})) << "*.jpg before *.txt";
    list->header()->sectionClicked(searchColumn);
    EXPECT_EQ(shownNames(0), (std::vector<std::string>{"Texte", "Bilder"}));
    EXPECT_EQ(list->SelectedIndex(), 0) << "the selection stays with its pattern";
    list->header()->sectionClicked(0);
    EXPECT_EQ(shownNames(0), (std::vector<std::string>{"Bilder", "Texte"}))
        << "a new column starts ascending";
}
