// The options dialog: its checks, what OK saves, and when the help-tip mode is announced.
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <functional>
#include <set>

#include "ui/dialogs/CROZariduGnrlPage.h"
#include "ui/dialogs/CVNPropertySheet.h"
#include "ui/frame/CVNWinApp.h"
#include "tests/app/AppFixture.h"

namespace {

// Counts help-tip announcements reaching any window.
class AnnouncementCounter : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == HelpTipModeEvent::type()) {
            receivers.insert(o);
            mode = static_cast<HelpTipModeEvent*>(e)->mode();
        }
        return QObject::eventFilter(o, e);
    }
    std::set<QObject*> receivers;
    int mode = -1;
};

class OptionsDialog : public AppTest {
protected:
    void withDialog(std::function<void(CVNPropertySheet&, CROZariduGnrlPage&)> steps) { withOptions(steps); }
    int stored(const char* name) { return registeredApp().GetRegInt(true, "Settings", name, -99); }
};

} // namespace

// Only digits can be typed; OK refuses what is not a whole number in range and stays open.
TEST_F(OptionsDialog, TheFieldTakesOnlyWholeNumbersInRange) {
    ASSERT_TRUE(start());
    withDialog([](CVNPropertySheet& sheet, CROZariduGnrlPage& page) {
        page.maxFilesEdit()->clear();
        QTest::keyClicks(page.maxFilesEdit(), "-12a3");
        EXPECT_EQ(page.maxFilesEdit()->text().toStdString(), "123");
        page.maxFilesEdit()->setText("2147483648");
        sheet.accept();
        EXPECT_TRUE(sheet.isVisible());
        page.maxFilesEdit()->setText("2147483647");
        sheet.accept();
        EXPECT_FALSE(sheet.isVisible());
    });
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, "Geben Sie eine ganze Zahl zwischen 0 und 2147483647 ein.");
    EXPECT_EQ(app->pars().MaxFiles, 2147483647);
}

// OK saves all three values; only a change of the help-tip setting is announced to the windows.
// Abbrechen leaves the settings file as it was.
TEST_F(OptionsDialog, OkSavesAllThreeAndAnnouncesOnlyAHelpTipChange) {
    ASSERT_TRUE(start());
    AnnouncementCounter counter;
    qt.installEventFilter(&counter);
    withDialog([](CVNPropertySheet& sheet, CROZariduGnrlPage& page) {
        page.maxFilesEdit()->setText("500");
        sheet.accept();
    });
    EXPECT_EQ(stored("MaxFiles"), 500);
    EXPECT_TRUE(counter.receivers.empty());

    withDialog([](CVNPropertySheet& sheet, CROZariduGnrlPage& page) {
        EXPECT_EQ(page.maxFilesEdit()->text().toStdString(), "500");
        page.modeButton(1)->setChecked(true);
        page.helpTipsBox()->setChecked(true);
        sheet.accept();
    });
    EXPECT_EQ(stored("RenAllMode"), 1);
    EXPECT_EQ(stored("ShowHelpTips"), 1);
    EXPECT_EQ(app->pars().RenAllMode, 1);
    // The main window and every window below it hear of it.
    for (QWidget* w : frame().findChildren<QWidget*>())
        EXPECT_TRUE(counter.receivers.count(w)) << w->metaObject()->className();
    EXPECT_EQ(counter.mode, 3);
    qt.removeEventFilter(&counter);

    const std::string before = TempDir::read(sandbox.userHive());
    withDialog([](CVNPropertySheet& sheet, CROZariduGnrlPage& page) {
        page.maxFilesEdit()->setText("7");
        page.modeButton(0)->setChecked(true);
        page.helpTipsBox()->setChecked(false);
        sheet.reject();
    });
    EXPECT_EQ(TempDir::read(sandbox.userHive()), before);
    EXPECT_EQ(app->pars().MaxFiles, 500);
    EXPECT_EQ(app->helpTipMode(), 3);
}
