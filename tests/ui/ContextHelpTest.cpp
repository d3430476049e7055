// Context help in every window: tips, Direkthilfe popups, F1 and Hilfe, and the help content.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <QWhatsThis>
#include <functional>
#include <memory>

#include "core/journal/Journal.h"
#include "core/settings/CVNPars.h"
#include "core/settings/CVNVersionInfo.h"
#include "res/LoadString.h"
#include "tests/platform/XdgSandbox.h"
#include "tests/support/QtApp.h"
#include "tests/support/RegisteredApp.h"
#include "tests/support/ScriptedPresenter.h"
#include "ui/dialogs/CROZariduAboutDlg.h"
#include "ui/dialogs/CROZariduGnrlPage.h"
#include "ui/dialogs/CROZariduPattDlg.h"
#include "ui/shell/FilePropertiesDialog.h"
#include "ui/dialogs/CROZariduPattPage.h"
#include "ui/dialogs/CVNHistoryDlg.h"
#include "ui/dialogs/CVNPropertySheet.h"
#include "ui/form/CROZariduView.h"
#include "ui/form/CVNComboBoxMRU.h"
#include "ui/help/CVNHelpViewer.h"
#include "ui/help/ContextHelp.h"
#include "ui/help/HelpFile.h"

namespace {

bool hasId(const QWidget* w) {
    return w->property("controlId").isValid();
}

// What a window needs to be made.
struct Env {
    XdgSandbox sandbox;
    CROZariduPars pars;
    CVNAppInfo app = registeredApp();
    Journal journal;
    CVNVersionInfo version;
};

struct WindowCase {
    const char* name;
    std::uint32_t topic;
    std::function<std::unique_ptr<QWidget>(Env&)> make;
};

std::unique_ptr<QWidget> options(Env& env, int page) {
    auto sheet = std::make_unique<CVNPropertySheet>(QStringLiteral("Optionen"), nullptr, page);
    sheet->AddPage(new CROZariduGnrlPage);
    sheet->AddPage(new CROZariduPattPage(env.app));
    return sheet;
}

const std::vector<WindowCase>& windows() {
    static const std::vector<WindowCase> cases{
        {"Hauptfenster", 0x20065, [](Env& e) { return std::make_unique<CROZariduView>(e.pars); }},
        {"Optionen, Such-/Ersatzmuster", 0x2006B, [](Env& e) { return options(e, 1); }},
        {"Mustereditor", 0x20083,
         [](Env&) {
             return std::make_unique<CROZariduPattDlg>(CROZariduPattDlg::kAdd, 1, 0,
                                                       std::vector<std::string>{});
         }},
        {"Info", 0x20064, [](Env& e) { return std::make_unique<CROZariduAboutDlg>(e.version); }},
        {"Verlauf", 0x20084,
         [](Env& e) {
             return std::make_unique<CVNHistoryDlg>(e.journal, [](const std::string&) {});
         }},
        {"Eigenschaften", 0x20085,
         [](Env& e) {
             const std::string folder = e.sandbox.dir().path();
             XdgSandbox::put(folder + "/a.txt", "a");
             FindData found;
             found.name = "a.txt";
             const auto record = FileListRecord::make(std::make_shared<const std::string>(folder), found);
             return std::unique_ptr<QWidget>(
                 FilePropertiesDialog::showFor({record.get()}, {folder + "/a.txt"}, folder, nullptr));
         }},
    };
    return cases;
}

QWidget* control(QWidget* window, int id) {
    for (QWidget* w : window->findChildren<QWidget*>())
        if (hasId(w) && w->property("controlId").toInt() == id) return w;
    return nullptr;
}

std::string tipShownFor(QWidget* w) {
    QHelpEvent tip(QEvent::ToolTip, w->rect().center(), w->mapToGlobal(w->rect().center()));
    QCoreApplication::sendEvent(w, &tip);
    return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
}

void hideTip() {
    QToolTip::hideText();
    (void)QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000);
}

QWidget* shownPopup(const char* className) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->inherits(className)) return w;
    return nullptr;
}

class ContextHelp : public ::testing::Test {
protected:
    ContextHelp() { SetCurrentHelpTipMode(kContextHelpOn); }
    ~ContextHelp() override {
        HelpFile::SetRoot(QStringLiteral(":/help"));
        if (CVNHelpViewer* v = CVNHelpViewer::Current()) v->hide();
        if (QWhatsThis::inWhatsThisMode()) QWhatsThis::leaveWhatsThisMode();
        QWhatsThis::hideText();
    }

    QApplication& qt = qtApp();
    ScriptedPresenter presenter;
    ScopedMessagePresenter guard{presenter};
    Env env;
};

} // namespace

// Group frames and the file list explain themselves by popup only: a tip would cover the list.
TEST_F(ContextHelp, EveryControlWithAHelpIdHasATipAndAPopup) {
    ASSERT_TRUE(HelpFile::Get().ok());
    for (const WindowCase& c : windows()) {
        std::unique_ptr<QWidget> window = c.make(env);
        int checked = 0;
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!hasId(w)) continue;
            const std::uint32_t help = HelpHitTest(w);
            if (help == 0) continue; // a control without help, like the pattern type
            ++checked;
            const int id = w->property("controlId").toInt();
            EXPECT_FALSE(HelpFile::Get().popupText(help).isEmpty())
                << c.name << ": no popup for control " << id << std::hex << " (0x" << help << ")";
            const bool tipless = qobject_cast<QGroupBox*>(w) || id == IDC_FILE_LIST;
            if (!tipless) {
                EXPECT_TRUE(HasString(CVNHelpWindow::Of(w)->MapControlId(id)))
                    << c.name << ": no tip for control " << id;
            }
        }
        EXPECT_GT(checked, 0) << c.name;
    }
}

TEST_F(ContextHelp, F1AndTheHilfeButtonOpenTheWindowsTopic) {
    for (const WindowCase& c : windows()) {
        std::unique_ptr<QWidget> window = c.make(env);
        window->show();
        QApplication::setActiveWindow(window.get());
        QWidget* focus = window->focusWidget() ? window->focusWidget() : window->nextInFocusChain();
        focus->setFocus();
        if (CVNHelpViewer* v = CVNHelpViewer::Current()) v->ShowTopic(HID_CONTENTS);
        QTest::keyClick(focus, Qt::Key_F1);
        CVNHelpViewer* viewer = CVNHelpViewer::Current();
        ASSERT_NE(viewer, nullptr) << c.name;
        EXPECT_TRUE(viewer->isVisible()) << c.name;
        EXPECT_EQ(viewer->currentTopic(), c.topic) << c.name;
        EXPECT_FALSE(viewer->browser()->toPlainText().isEmpty()) << c.name;
        if (auto* help = qobject_cast<QPushButton*>(control(window.get(), IDC_HELP))) {
            viewer->ShowTopic(HID_CONTENTS);
            help->click();
            EXPECT_EQ(CVNHelpViewer::Current()->currentTopic(), c.topic) << c.name << ", Hilfe";
        }
        window->hide();
    }
}

TEST_F(ContextHelp, WithoutTheHelpContentHelpSaysSoAndPopupsStayAway) {
    HelpFile::SetRoot(QStringLiteral("/nonexistent/help"));
    CROZariduPattDlg dialog(CROZariduPattDlg::kAdd, 1, 0, {});
    dialog.show();
    qobject_cast<QPushButton*>(control(&dialog, IDC_HELP))->click();
    const ShownMessage failed{"Die Hilfe konnte nicht aufgerufen werden.", MB_OK, 0};
    EXPECT_EQ(presenter.shown(), std::vector<ShownMessage>{failed});
    EXPECT_FALSE(
        ShowControlHelpPopup(HelpHitTest(dialog.searchEdit()), dialog.searchEdit(), QPoint()));
    EXPECT_EQ(shownPopup("QWhatsThat"), nullptr);
}

// A label shows the tip of its control, a greyed button and the edit part of a box their own;
// switched off by the broadcast, the tips stay away but Direkthilfe does not.
TEST_F(ContextHelp, TipsAndDirekthilfeOnTheMainForm) {
    SetCurrentHelpTipMode(kHelpTipsOn | kContextHelpOn);
    CROZariduView view(env.pars);
    view.show();
    QApplication::setActiveWindow(&view);
    ASSERT_FALSE(view.control(IDC_RENAME)->isEnabled());
    const std::pair<QWidget*, int> cases[] = {{view.control(IDC_FOLDER_LABEL), IDC_FOLDER},
                                              {view.control(IDC_RENAME), IDC_RENAME},
                                              {view.searchBox()->lineEdit(), IDC_SEARCH}};
    for (const auto& [widget, tip] : cases) {
        hideTip();
        EXPECT_EQ(tipShownFor(widget), LoadString(tip)) << tip;
    }
    HelpTipModeEvent off(kContextHelpOn);
    QCoreApplication::sendEvent(&view, &off);
    hideTip();
    EXPECT_EQ(tipShownFor(view.control(IDC_FOLDER)), "");

    // Direkthilfe stays: the right click on the edit part of Suchen offers it first;
    // Umschalt+F1 and a click on a greyed button show its popup.
    QString first;
    QTimer::singleShot(0, [&first] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        first = menu->actions().first()->text();
        menu->setActiveAction(menu->actions().first());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QLineEdit* edit = view.searchBox()->lineEdit();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), edit->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(edit, &click);
    EXPECT_EQ(first, QString::fromUtf8("Direkt&hilfe"));
    EXPECT_NE(shownPopup("QWhatsThat"), nullptr);
    QWhatsThis::hideText();
    (void)QTest::qWaitFor([] { return !shownPopup("QWhatsThat"); }, 2000);

    QWidget* rename = view.control(IDC_RENAME);
    ASSERT_FALSE(rename->isEnabled());
    QWhatsThis::enterWhatsThisMode();
    QTest::mouseClick(rename, Qt::LeftButton);
    EXPECT_NE(shownPopup("QWhatsThat"), nullptr);
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
}
