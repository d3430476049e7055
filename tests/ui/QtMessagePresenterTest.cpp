// The message box as the program shows it: buttons, default, escape, plain text, wrapping.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "tests/support/QtApp.h"
#include "ui/dialogs/QtMessagePresenter.h"

namespace {

class QtMessagePresenterTest : public testing::Test {
protected:
    QApplication& app = qtApp();
};

using SB = QMessageBox::StandardButton;

QMessageBox* visibleBox() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
    return nullptr;
}

} // namespace

TEST_F(QtMessagePresenterTest, BoxTakesButtonsIconAndDefaultFromType) {
    struct Case {
        const char* name;
        unsigned type;
        QMessageBox::StandardButtons buttons;
        SB defaultButton, escapeButton;
        QMessageBox::Icon icon;
    } const cases[] = {
        {"ok", MB_OK | MB_ICONINFORMATION, SB::Ok, SB::Ok, SB::Ok, QMessageBox::Information},
        {"yes/no/cancel, third", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3,
         SB::Yes | SB::No | SB::Cancel, SB::Cancel, SB::Cancel, QMessageBox::Question},
        {"yes/no, second", MB_YESNO | MB_ICONERROR | MB_DEFBUTTON2, SB::Yes | SB::No, SB::No,
         SB::No, QMessageBox::Critical},
        {"yes/no, third does not exist", MB_YESNO | MB_DEFBUTTON3, SB::Yes | SB::No, SB::Yes,
         SB::No, QMessageBox::NoIcon},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto box = QtMessagePresenter::createBox("x", c.type, 0);
        EXPECT_EQ(box->standardButtons(), c.buttons);
        EXPECT_EQ(box->standardButton(box->defaultButton()), c.defaultButton);
        EXPECT_EQ(box->standardButton(box->escapeButton()), c.escapeButton);
        EXPECT_EQ(box->icon(), c.icon);
    }
}

TEST_F(QtMessagePresenterTest, BoxShowsTextPlainWithTitleAndHelpId) {
    auto box = QtMessagePresenter::createBox("Die Datei '<b>ä&ö</b>' fehlt.", MB_OK, 4711);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Orvane"));
    EXPECT_EQ(box->text().remove(QChar(0x200B)), QStringLiteral("Die Datei '<b>ä&ö</b>' fehlt."));
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->property("helpId").toUInt(), 4711u);
}

// A long file name wraps instead of making the box wider than the screen.
TEST_F(QtMessagePresenterTest, ALongNameWraps) {
    const std::string path = "/home/anna/" + std::string(240, 'x') + "/" + std::string(200, 'y') + ".txt";
    auto box = QtMessagePresenter::createBox("Bei der Datei '" + path + "' ist ein Fehler passiert.", MB_OK, 0);
    box->show();
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 100000),
                                                           Qt::TextWordWrap, label->text());
    EXPECT_LE(needed.width(), label->width()); // nothing is cut off at the right
    EXPECT_EQ(box->text().remove(QChar(0x200B)).toStdString().find(path), 15u);
}

// Runs the real modal box and lets a queued action answer it.
TEST_F(QtMessagePresenterTest, ShowReturnsThePressedButton) {
    struct Case {
        const char* name;
        unsigned type;
        SB click; // NoButton: press Escape
        int result;
    } const cases[] = {
        {"ok", MB_OK, SB::Ok, IDOK},
        {"cancel", MB_OKCANCEL, SB::Cancel, IDCANCEL},
        {"no", MB_YESNOCANCEL, SB::No, IDNO},
        {"escape on yes/no/cancel", MB_YESNOCANCEL, SB::NoButton, IDCANCEL},
        {"escape on yes/no", MB_YESNO, SB::NoButton, IDNO},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool answered = false;
        QTimer::singleShot(0, [&] {
            QMessageBox* box = visibleBox();
            if (!box) return;
            answered = true;
            if (c.click == SB::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(c.click)->click();
        });
        QtMessagePresenter presenter;
        EXPECT_EQ(presenter.show("Frage", c.type, 0), c.result);
        EXPECT_TRUE(answered);
    }
}
