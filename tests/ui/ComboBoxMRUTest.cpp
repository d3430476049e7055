// The box of recent texts and the keyboard (its list's rules are tested in the core).
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "ui/form/CVNComboBoxMRU.h"
#include "tests/support/QtApp.h"

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
