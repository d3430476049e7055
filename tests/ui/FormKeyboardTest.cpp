// The main form as a keyboard user meets it, and what the window shows during and after runs.
#include <QHeaderView>
#include <QMenuBar>

#include "ui/form/CVNDateTimeEdit.h"
#include "tests/ui/MainViewFixture.h"

namespace {

class FormKeyboard : public MainView {
protected:
    void SetUp() override {
        view.show();
        QApplication::setActiveWindow(&view);
        QCoreApplication::processEvents();
    }
    void focus(QWidget* w, Qt::FocusReason reason = Qt::OtherFocusReason) {
        w->setFocus(reason);
        QCoreApplication::processEvents();
    }
};

} // namespace

// The mnemonic of a greyed button must not type its letter into the focused box.
TEST_F(FormKeyboard, AMnemonicNeverTypesText) {
    focus(view.replaceBox());
    replaceWith("*.txt");
    ASSERT_FALSE(button(IDC_RENAME_ALL)->isEnabled());
    QTest::keyClick(view.replaceBox()->lineEdit(), Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(view.replaceBox()->currentText().toStdString(), "*.txt");
    focus(view.folderBox());
    QTest::keyClick(view.folderBox()->lineEdit(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(view.folderBox()->currentText().toStdString(), "");
    QTest::keyClick(view.folderBox()->lineEdit(), Qt::Key_F); // plain typing still types
    EXPECT_EQ(view.folderBox()->currentText().toStdString(), "f");
    // Nor does a stored pattern complete what is typed.
    view.searchBox()->AddToMRU("*.jpg", 0);
    view.searchBox()->setEditText("");
    focus(view.searchBox());
    QTest::keyClicks(view.searchBox()->lineEdit(), "*");
    EXPECT_EQ(view.searchBox()->currentText().toStdString(), "*");
}

// A menu opened with Alt+B takes the keyboard; its commands must still be those of the list.
TEST_F(FormKeyboard, MenuCommandsAreTheSameHoweverTheMenuIsOpened) {
    for (const char* n : {"u1.txt", "u2.txt"}) dir.file(n);
    find("u", true);
    replaceWith("v");
    button(IDC_RENAME_ALL)->click();
    QWidget host;
    view.setParent(&host);
    QMenuBar bar(&host);
    host.show();
    QApplication::setActiveWindow(&host);
    focus(view.fileList());
    ASSERT_TRUE(view.commandEnabled(ID_EDIT_UNDO));
    focus(&bar);
    ASSERT_EQ(QApplication::focusWidget(), &bar);
    EXPECT_TRUE(view.commandEnabled(ID_EDIT_UNDO));
    EXPECT_TRUE(view.commandEnabled(ID_EDIT_INVERT_SELECTION));
    view.onCommand(ID_EDIT_UNDO);
    EXPECT_TRUE(exists("u1.txt"));
    EXPECT_EQ(view.statusText().toStdString(), "Rückgängig: 2 Änderung(en) zurückgenommen.");
    view.setParent(nullptr);
}

// What is typed is what is set, whether the field was entered with Tab or by a click.
TEST_F(FormKeyboard, TypedDatesAndTimesAreTakenAsTyped) {
    view.SetViewMode(VIEW_DATE_ATTRIBUTES);
    box(IDC_CHANGE_MODIFIED)->click();
    auto* time = qobject_cast<CVNTimeEdit*>(view.control(IDC_TIME_MODIFIED));
    auto* date = qobject_cast<CVNDateEdit*>(view.control(IDC_DATE_MODIFIED));
    ASSERT_TRUE(time && date);
    focus(time, Qt::TabFocusReason);
    QTest::keyClicks(time, "10:00:00");
    EXPECT_EQ(time->time(), QTime(10, 0, 0));
    time->setCursorPosition(3); // a click before the minutes
    QTest::keyClicks(time, "45");
    EXPECT_EQ(time->time(), QTime(10, 45, 0));
    focus(date->lineEdit(), Qt::TabFocusReason);
    QTest::keyClicks(date->lineEdit(), "01.04.2014");
    EXPECT_EQ(date->date(), QDate(2014, 4, 1));
    date->lineEdit()->setCursorPosition(0);
    QTest::keyClicks(date->lineEdit(), "31.02");
    EXPECT_FALSE(date->date().isValid()); // and Umändern says so, naming the row
}

// Return presses Finden, the default button, from a check box too; on a focused button it
// presses that button.
TEST_F(FormKeyboard, ReturnPressesTheDefaultOrTheFocusedButton) {
    dir.file("r1.txt");
    view.folderBox()->setEditText(QString::fromStdString(dir.path()));
    view.searchBox()->setEditText("r*");
    focus(box(IDC_WHOLE_LIST));
    QTest::keyClick(box(IDC_WHOLE_LIST), Qt::Key_Return);
    EXPECT_EQ(view.fileList()->itemCount(), 1);
    EXPECT_TRUE(box(IDC_WHOLE_LIST)->isChecked());
    replaceWith("s*");
    focus(button(IDC_RENAME_ALL));
    QTest::keyClick(button(IDC_RENAME_ALL), Qt::Key_Return);
    EXPECT_TRUE(exists("s1.txt"));
}

TEST_F(FormKeyboard, AMissingFolder) {
    view.folderBox()->setEditText(QString::fromStdString(dir / "nicht-da"));
    button(IDC_FIND)->click();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, "Der Ordner '" + (dir / "nicht-da") + "' existiert nicht.");
    EXPECT_EQ(presenter.shown()[0].type & MB_TYPEMASK, unsigned(MB_OK));
    EXPECT_FALSE(button(IDC_STOP)->isEnabled());
}

// During a run the status bar says how far it got; afterwards it shows the Find result again.
// After Finden a long name is not cut while there is room, and a line break in a name shows.
TEST_F(FormKeyboard, TheWindowShowsProgressWholeNamesAndControlCharacters) {
    const std::string longName = "Ein ziemlich langer Dateiname fuer den Urlaub am Meer 2024.txt";
    dir.file(longName);
    dir.file("new\nline.txt");
    dir.file("w3.txt");
    view.resize(1200, 700);
    find("*.txt", false);
    const int nameWidth = view.fileList()->fontMetrics().horizontalAdvance(QString::fromStdString(longName));
    EXPECT_GE(view.fileList()->header()->sectionSize(COL_NAME), nameWidth);
    const QModelIndex line = view.fileList()->model()->index(1, COL_NAME);
    const QString shown = line.data().toString();
    EXPECT_EQ(shown.size(), 12);
    EXPECT_TRUE(shown[3].isPrint()) << shown.toStdString();

    std::vector<std::string> texts;
    QObject::connect(&view, &CROZariduView::statusTextChanged,
                     [&](const QString& t) { texts.push_back(t.toStdString()); });
    const std::string found = view.statusText().toStdString();
    replaceWith("*.bak");
    button(IDC_RENAME_ALL)->click();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts.front().rfind("Umbenennen: ", 0), 0u) << texts.front();
    EXPECT_NE(texts.front().find(" von 3 "), std::string::npos) << texts.front();
    EXPECT_EQ(texts.back(), found);
}
