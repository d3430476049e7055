#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "core/settings/CVNAppInfo.h"
#include "ui/form/CVNComboBoxMRU.h"
#include "tests/platform/XdgSandbox.h"
#include "tests/support/QtApp.h"

TEST(ComboBoxMRU, TheWidgetKeepsTheListLogicAndShowsTheChosenText) {
    qtApp();
    CVNComboBoxMRU box;
    box.InitMRU(kMRUSearchPattern);
    for (const char* t : {"d.txt", "c.txt", "ABC.TXT", "a.txt"}) box.AddToMRU(t, 0);
    box.AddToMRU("abc.txt", 1); // the same text in another case moves up in its new case
    ASSERT_EQ(box.count(), 4);
    EXPECT_EQ(box.text(0), "abc.txt");
    EXPECT_EQ(box.datum(0), 1);
    EXPECT_EQ(box.currentText(), QStringLiteral("abc.txt"));
    EXPECT_EQ(box.text(3), "d.txt");
    for (int i = 0; i < 12; ++i) box.AddToMRU("n" + std::to_string(i), 0);
    EXPECT_EQ(box.count(), 10);
    EXPECT_EQ(box.text(0), "n11");
    // Typing must not put texts into the list behind the logic's back.
    box.lineEdit()->setText(QStringLiteral("getippt"));
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(box.count(), 10);
}

TEST(ComboBoxMRU, ListsSurviveAProgramRestart) {
    qtApp();
    XdgSandbox sandbox;
    CVNAppInfo app;
    app.SetRegistryKey("Orvane");
    {
        CVNComboBoxMRU box;
        box.InitMRU(kMRUSearchPattern);
        box.AddToMRU("^IMG_([0-9]+)$", 1);
        box.AddToMRU("*.jpg", 0);
        box.SaveMRU(app);
    }
    CVNComboBoxMRU again;
    again.InitMRU(kMRUSearchPattern);
    again.LoadMRU(app);
    ASSERT_EQ(again.count(), 2);
    EXPECT_EQ(again.text(0), "*.jpg");
    EXPECT_EQ(again.text(1), "^IMG_([0-9]+)$");
    EXPECT_EQ(again.datum(1), 1);
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
