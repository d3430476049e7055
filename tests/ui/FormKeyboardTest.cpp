// The main form as a keyboard user meets it, and what the status bar shows during a run.
#include <QAbstractItemView>
#include <QDateTime>
#include <QFileInfo>

#include "ui/form/CVNDateTimeEdit.h"
#include "tests/ui/MainViewFixture.h"

using FormKeyboard = ShownView;

// The mnemonic of a greyed button must not type its letter into the focused box.
TEST_F(FormKeyboard, AMnemonicNeverTypesText) {
    focus(view.folderBox());
    ASSERT_FALSE(button(IDC_FIND)->isEnabled());
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

// Tab with the list of recent texts open closes it and goes where Tab goes without it.
TEST_F(FormKeyboard, TabWithTheListOpenMovesOn) {
    view.searchBox()->AddToMRU("*.jpg", 0);
    focus(view.searchBox());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* next = QApplication::focusWidget();
    focus(view.searchBox());
    view.searchBox()->showPopup();
    QCoreApplication::processEvents();
    if (!view.searchBox()->view()->isVisible()) GTEST_SKIP() << "no popup on this platform";
    QTest::keyClick(view.searchBox()->view(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_FALSE(view.searchBox()->view()->isVisible());
    EXPECT_NE(next, view.searchBox());
    EXPECT_EQ(QApplication::focusWidget(), next);
}

// What is typed is what is set on the files, whether the field was entered with Tab or by a
// click; a date that does not exist stops Alle Umändern before any file changes.
TEST_F(FormKeyboard, TypedDatesAndTimesAreWhatUmaendernSets) {
    files({"c1.txt", "c2.txt"});
    view.SetViewMode(VIEW_DATE_ATTRIBUTES);
    find("c", true);
    box(IDC_CHANGE_MODIFIED)->click();
    auto* time = qobject_cast<CVNTimeEdit*>(view.control(IDC_TIME_MODIFIED));
    auto* date = qobject_cast<CVNDateEdit*>(view.control(IDC_DATE_MODIFIED));
    ASSERT_TRUE(time && date);
    focus(time, Qt::TabFocusReason);
    QTest::keyClicks(time, "10:00:00");
    time->setCursorPosition(3); // a click before the minutes
    QTest::keyClicks(time, "45");
    EXPECT_EQ(time->time(), QTime(10, 45, 0));
    focus(date->lineEdit(), Qt::TabFocusReason);
    QTest::keyClicks(date->lineEdit(), "01.04.2014");
    date->lineEdit()->setCursorPosition(0);
    QTest::keyClicks(date->lineEdit(), "31.02");
    const QDateTime before = QFileInfo(QString::fromStdString(dir / "c1.txt")).lastModified();

    presenter.clear();
    button(IDC_CHANGE_ALL)->click();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_NE(presenter.shown()[0].text.find("Geändert am"), std::string::npos) << presenter.shown()[0].text;
    EXPECT_EQ(QFileInfo(QString::fromStdString(dir / "c1.txt")).lastModified(), before);

    date->lineEdit()->setCursorPosition(0);
    QTest::keyClicks(date->lineEdit(), "01.04");
    button(IDC_CHANGE_ALL)->click();
    ASSERT_EQ(presenter.shown().size(), 2u);
    EXPECT_EQ(presenter.shown()[1].text, "2 Datei(en) geändert.");
    for (const char* n : {"c1.txt", "c2.txt"})
        EXPECT_EQ(QFileInfo(QString::fromStdString(dir / n)).lastModified(),
                  QDateTime(QDate(2014, 4, 1), QTime(10, 45))) << n;
}

// Return presses Finden, the default button, from a check box or a box, but not while Finden
// is off; on a focused button it presses that button.
TEST_F(FormKeyboard, ReturnPressesTheDefaultOrTheFocusedButton) {
    files({"r1.txt", "r2.txt"});
    view.folderBox()->setEditText(QString::fromStdString(dir.path()));
    view.searchBox()->setEditText("r1*");
    focus(box(IDC_WHOLE_LIST));
    QTest::keyClick(box(IDC_WHOLE_LIST), Qt::Key_Return);
    EXPECT_EQ(view.fileList()->itemCount(), 1);
    EXPECT_TRUE(box(IDC_WHOLE_LIST)->isChecked());

    view.folderBox()->setEditText("");
    view.searchBox()->setEditText("r*");
    QTest::keyClick(view.searchBox()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(view.fileList()->itemCount(), 1);
    EXPECT_TRUE(presenter.shown().empty());
    view.folderBox()->setEditText(QString::fromStdString(dir.path()));
    QTest::keyClick(view.searchBox()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(view.fileList()->itemCount(), 2);

    replaceWith("s*");
    focus(button(IDC_RENAME_ALL));
    QTest::keyClick(button(IDC_RENAME_ALL), Qt::Key_Return);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"s1.txt", "s2.txt"}));
}

// During a run the status bar says how far it got; afterwards it shows the Find result again.
// A line break in a name shows as a visible sign.
TEST_F(FormKeyboard, TheStatusBarShowsTheProgressOfARun) {
    files({"new\nline.txt", "w2.txt", "w3.txt"});
    find("*.txt", false);
    const QString shown = view.fileList()->model()->index(0, COL_NAME).data().toString();
    EXPECT_TRUE(shown.size() == 12 && shown[3].isPrint()) << shown.toStdString();
    std::vector<std::string> texts;
    QObject::connect(&view, &CROZariduView::statusTextChanged,
                     [&](const QString& t) { texts.push_back(t.toStdString()); });
    const std::string found = view.statusText().toStdString();
    replaceWith("*.bak");
    button(IDC_RENAME_ALL)->click();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_NE(texts.front().find(" von 3 "), std::string::npos) << texts.front();
    EXPECT_EQ(texts.back(), found);
}
