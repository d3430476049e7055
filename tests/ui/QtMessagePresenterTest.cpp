// The message box as the program shows it: the safe default, escape, plain text.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "tests/support/QtApp.h"
#include "ui/dialogs/QtMessagePresenter.h"

using SB = QMessageBox::StandardButton;

// The question before deleting for good: Nein is the default, so a stray Return keeps the
// files; a name with markup shows as typed.
TEST(QtMessagePresenterTest, TheDeleteQuestionDefaultsToNoAndShowsPlainText) {
    qtApp();
    auto box = QtMessagePresenter::createBox("'<b>ä&ö</b>' löschen?", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, 4711);
    EXPECT_EQ(box->standardButtons(), SB::Yes | SB::No);
    EXPECT_EQ(box->standardButton(box->defaultButton()), SB::No);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text().remove(QChar(0x200B)), QStringLiteral("'<b>ä&ö</b>' löschen?"));
    EXPECT_EQ(box->property("helpId").toUInt(), 4711u);
}

// The real modal box, answered by a queued click or Escape (NoButton).
TEST(QtMessagePresenterTest, ShowReturnsThePressedButton) {
    qtApp();
    const struct {
        unsigned type;
        SB click;
        int result;
    } cases[] = {{MB_YESNOCANCEL, SB::No, IDNO}, {MB_YESNOCANCEL, SB::NoButton, IDCANCEL}, {MB_YESNO, SB::NoButton, IDNO}};
    for (const auto& c : cases) {
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    if (c.click == SB::NoButton) QTest::keyClick(box, Qt::Key_Escape);
                    else box->button(c.click)->click();
                }
        });
        QtMessagePresenter presenter;
        EXPECT_EQ(presenter.show("Frage", c.type, 0), c.result) << c.type << " " << c.click;
    }
}
