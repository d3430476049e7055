// The box of recent texts: it shows what its list holds, and the keyboard leaves the list alone.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "ui/form/CVNComboBoxMRU.h"
#include "tests/support/QtApp.h"

// The list's rules themselves are tested in the core; here the widget must show their result.
TEST(ComboBoxMRU, TheWidgetShowsTheListAndTypingDoesNotAddToIt) {
    qtApp();
    CVNComboBoxMRU box;
    box.InitMRU(kMRUSearchPattern);
    for (const char* t : {"d.txt", "ABC.TXT", "a.txt"}) box.AddToMRU(t, 0);
    box.AddToMRU("abc.txt", 1);
    ASSERT_EQ(box.count(), 3);
    EXPECT_EQ(box.itemText(0), QStringLiteral("abc.txt"));
    EXPECT_EQ(box.datum(0), 1);
    EXPECT_EQ(box.currentText(), QStringLiteral("abc.txt"));
    EXPECT_EQ(box.itemText(2), QStringLiteral("d.txt"));
    box.lineEdit()->setText(QStringLiteral("getippt"));
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(box.count(), 3);
}

// Tab with the list open closes it and goes on to the next control.
TEST(ComboBoxMRU, TabWithTheListOpenMovesOn) {
    qtApp();
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* box = new CVNComboBoxMRU(&form);
    auto* next = new QLineEdit(&form);
    layout->addWidget(box);
    layout->addWidget(next);
    for (const char* t : {"eins", "zwei"}) box->AddToMRU(t, 0);
    form.show();
    QApplication::setActiveWindow(&form);
    box->setFocus();
    box->showPopup();
    QCoreApplication::processEvents();
    if (!box->view()->isVisible()) GTEST_SKIP() << "no popup on this platform";
    QTest::keyClick(box->view(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_FALSE(box->view()->isVisible());
    EXPECT_TRUE(next->hasFocus());
}
