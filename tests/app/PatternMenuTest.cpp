// The pattern library in the main window: the > menus with the status bar, the insertion into
// the boxes, "Muster speichern", and what the options dialog saves of the patterns page.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <functional>

#include "tests/app/AppFixture.h"
#include "ui/dialogs/CROZariduPattDlg.h"
#include "ui/dialogs/CROZariduPattPage.h"
#include "ui/dialogs/CVNPatternListCtrl.h"
#include "ui/dialogs/CVNPropertySheet.h"

namespace {

const std::string kMachineFile = XdgSandbox::hiveText(
    "[Patterns\\Preconfigured\\RegExp Patterns\\Beide]\n"
    "\"SearchPattern\"=\"^IMG_(.*)\"\n\"ReplacePattern\"=\"Foto_\\\\1\"\n"
    "\"Statusline\"=\"Status Beide\"\n\"CaretPosType\"=dword:1\n\"CaretPos\"=dword:5\n"
    "[Patterns\\Preconfigured\\RegExp Patterns\\Textdatei]\n"
    "\"SearchPattern\"=\"(.*)\\\\.txt\"\n\"Statusline\"=\"Status "
    "Textdatei\"\n\"CaretPos\"=dword:4\n"
    "[Patterns\\Preconfigured\\RegExp Patterns\\Zähler]\n"
    "\"ReplacePattern\"=\":(001)\"\n\"CaretPosType\"=dword:1\n\"CaretPos\"=dword:2\n");

class PatternMenus : public AppTest {
protected:
    void SetUp() override {
        XdgSandbox::put(sandbox.machineHive(1), kMachineFile);
        CROZariduPattern own(1, 1, "Meins & Deins");
        own.m_searchPattern = "x";
        ASSERT_TRUE(own.Save(registeredApp()));
        ASSERT_TRUE(start());
        view = &form();
        qobject_cast<QCheckBox*>(view->control(IDC_REGEXP))->setChecked(true);
    }

    // Opens the menu of a > button and runs steps on it while it is open; unless the steps
    // chose an item, the menu is then closed.
    void withMenu(int field, std::function<void(QMenu&)> steps) {
        QTimer::singleShot(0, [steps] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) {
                ADD_FAILURE() << "no menu";
                return;
            }
            steps(*menu);
            if (menu->isVisible()) menu->close();
        });
        view->patternMenuButton(field)->click();
    }
    static QAction* item(QMenu& menu, const char* text) {
        for (QAction* a : menu.actions())
            if (a->text() == QString::fromUtf8(text)) return a;
        ADD_FAILURE() << "no item " << text;
        return nullptr;
    }
    static void choose(QMenu& menu, const char* text) {
        menu.setActiveAction(item(menu, text));
        QTest::keyClick(&menu, Qt::Key_Return);
    }
    static std::string texts(QMenu& menu) {
        std::string line;
        for (QAction* a : menu.actions())
            line += (line.empty() ? "" : "|") +
                    (a->isSeparator() ? std::string("-") : a->text().toStdString());
        return line;
    }
    std::string status() { return frame().messageText().toStdString(); }
    // The box's text with "|" at the caret.
    std::string withCaret(CVNComboBoxMRU* box) {
        QString t = box->currentText();
        return t.insert(box->lineEdit()->cursorPosition(), QLatin1Char('|')).toStdString();
    }

    CROZariduView* view = nullptr;
};

} // namespace

TEST_F(PatternMenus, TheSearchMenuShowsStatusLinesAndAppendsABuildingBlock) {
    frame().SetMessageText("Vorher");
    view->searchBox()->setEditText("abc");
    view->replaceBox()->setEditText("bleibt");
    withMenu(0, [this](QMenu& menu) {
        EXPECT_EQ(texts(menu), "Beide|Textdatei|-|Meins && Deins");
        menu.setActiveAction(item(menu, "Beide"));
        EXPECT_EQ(status(), "Status Beide");
        menu.setActiveAction(item(menu, "Meins && Deins"));
        EXPECT_EQ(status(), "") << "a pattern without a status line empties the pane";
        choose(menu, "Textdatei");
    });
    EXPECT_EQ(status(), "Vorher");
    EXPECT_EQ(withCaret(view->searchBox()), "abc(.*)|\\.txt");
    EXPECT_EQ(view->replaceBox()->currentText().toStdString(), "bleibt");

    // Strg+Z in the box takes the insertion back.
    view->searchBox()->lineEdit()->undo();
    EXPECT_EQ(view->searchBox()->currentText().toStdString(), "abc");

    // Dismissed, the menu changes nothing.
    withMenu(0, [](QMenu&) {});
    EXPECT_EQ(view->searchBox()->currentText().toStdString(), "abc");
}

TEST_F(PatternMenus, TheReplacementMenuAppendsAndAPatternWithBothPartsFillsBothBoxes) {
    view->replaceBox()->setEditText("Bild_");
    withMenu(1, [](QMenu& menu) {
        EXPECT_EQ(texts(menu), "Zähler");
        choose(menu, "Zähler");
    });
    EXPECT_EQ(withCaret(view->replaceBox()), "Bild_:(|001)");

    // With no pattern of the type the menu says so and offers nothing.
    qobject_cast<QCheckBox*>(view->control(IDC_REGEXP))->setChecked(false);
    withMenu(1, [](QMenu& menu) {
        ASSERT_EQ(menu.actions().size(), 1);
        EXPECT_FALSE(menu.actions()[0]->isEnabled());
    });

    view->SetRunState(true);
    EXPECT_FALSE(view->patternMenuButton(0)->isEnabled() || view->patternMenuButton(1)->isEnabled());
    view->SetRunState(false);
    EXPECT_TRUE(view->patternMenuButton(1)->isEnabled());

    // A pattern with both parts fills both boxes; in the date mode, with no replacement field,
    // only "Suchen" changes and the caret goes to its end.
    qobject_cast<QCheckBox*>(view->control(IDC_REGEXP))->setChecked(true);
    view->searchBox()->setEditText("alt");
    view->replaceBox()->setEditText("alt");
    withMenu(0, [](QMenu& menu) { choose(menu, "Beide"); });
    EXPECT_EQ(view->searchBox()->currentText().toStdString(), "^IMG_(.*)");
    EXPECT_EQ(withCaret(view->replaceBox()), "Foto_|\\1");
    view->SetViewMode(VIEW_DATE_ATTRIBUTES);
    view->searchBox()->setEditText("alt");
    view->replaceBox()->setEditText("alt");
    withMenu(0, [](QMenu& menu) { choose(menu, "Beide"); });
    EXPECT_EQ(withCaret(view->searchBox()), "^IMG_(.*)|");
    EXPECT_EQ(view->replaceBox()->currentText().toStdString(), "alt");
}

// Strg+Umschalt+Einfg stores the boxes' patterns from "Suchen" or "Ersetzen" and does nothing
// anywhere else, not even paste.
TEST_F(PatternMenus, TheStoreKeyWorksOnlyInThePatternBoxes) {
    frame().show();
    QApplication::setActiveWindow(&frame());
    view->folderBox()->setEditText("/tmp");
    view->searchBox()->setEditText("^neu$");
    view->replaceBox()->setEditText("alt");
    QApplication::clipboard()->setText("eingefügt");

    view->folderBox()->setFocus();
    frame().updateCommandStates();
    EXPECT_FALSE(frame().action(ID_PATTERN_ADD)->isEnabled());
    QTest::keyClick(view->folderBox(), Qt::Key_Insert, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(view->folderBox()->currentText().toStdString(), "/tmp");

    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<CROZariduPattDlg*>(QApplication::activeModalWidget());
        if (!editor) return;
        opened = true;
        EXPECT_EQ(editor->typeLabel()->text().toStdString(), "Regulärer Ausdruck");
        EXPECT_EQ(editor->searchEdit()->text().toStdString(), "^neu$");
        EXPECT_EQ(editor->replacementEdit()->text().toStdString(), "alt");
        editor->menuTextEdit()->setText("Neu");
        editor->accept();
    });
    view->searchBox()->setFocus();
    frame().updateCommandStates();
    ASSERT_TRUE(frame().action(ID_PATTERN_ADD)->isEnabled());
    QTest::keyClick(view->searchBox(), Qt::Key_Insert, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(opened);
    EXPECT_EQ(view->searchBox()->currentText().toStdString(), "^neu$");
    withMenu(0,
             [](QMenu& menu) { EXPECT_EQ(texts(menu), "Beide|Textdatei|-|Meins && Deins|Neu"); });
}

// The page's changes reach the settings only with OK; Abbrechen leaves the file as it was.
TEST_F(PatternMenus, OptionsOkSavesThePatternsAndAbbrechenNothing) {
    const std::string hive = sandbox.userHive();
    using Steps = std::function<void(CVNPropertySheet&, CROZariduPattPage&)>;
    const Steps rename = [](CVNPropertySheet&, CROZariduPattPage& page) {
        page.typeButton(1)->click();
        CVNPatternListCtrl* list = page.list(1);
        ASSERT_EQ(list->topLevelItemCount(), 1) << "only the user's own patterns";
        CROZariduPattern renamed = list->patterns().entries()[0].record;
        renamed.m_menuText = "Umbenannt";
        list->Edit(0, renamed);
    };
    const std::string before = TempDir::read(hive);
    withOptions(rename); // each closed with Abbrechen
    withOptions(Steps([](CVNPropertySheet&, CROZariduPattPage& page) { page.list(1)->Remove(0); }));
    EXPECT_EQ(TempDir::read(hive), before);

    withOptions(Steps([&](CVNPropertySheet& sheet, CROZariduPattPage& page) {
        rename(sheet, page);
        sheet.accept();
    }));
    std::vector<std::string> names;
    CROZariduPattern::ListNames(registeredApp(), 1, 1, names);
    EXPECT_EQ(names, std::vector<std::string>{"Umbenannt"});
}
