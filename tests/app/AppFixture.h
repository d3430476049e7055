#pragma once

// A started application on sandboxed settings, with a scripted message presenter.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <QTest>
#include <QTimer>

#include "tests/platform/XdgSandbox.h"
#include "tests/support/QtApp.h"
#include "tests/support/RegisteredApp.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/TempDir.h"
#include "ui/dialogs/CVNPropertySheet.h"
#include "ui/form/CROZariduView.h"
#include "ui/form/CVNComboBoxMRU.h"
#include "ui/form/MainViewFactory.h"
#include "ui/frame/CROZariduApp.h"
#include "ui/frame/CROZariduFrame.h"
#include "ui/frame/CVNCommandTarget.h"

class AppTest : public ::testing::Test {
protected:
    AppTest() {
        std::filesystem::create_directories(runtime_);
        std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    }
    ~AppTest() override {
        if (app) app->ExitInstance();
        unsetenv("XDG_RUNTIME_DIR");
    }
    // Starts the application; false when start-up failed.
    bool start(const VersionResource& resource = VersionResource::Own()) {
        app = std::make_unique<CROZariduApp>();
        return app->InitInstance(MakeMainView, resource);
    }
    CROZariduFrame& frame() { return *app->frame(); }
    CROZariduView& form() { return *qobject_cast<CROZariduView*>(frame().centralWidget()); }
    // Opens Optionen and runs steps on the sheet and its page while the dialog is open; a
    // dialog the steps left open is then closed with Abbrechen.
    template <class Page>
    void withOptions(std::function<void(CVNPropertySheet&, Page&)> steps) {
        QTimer::singleShot(0, [steps] {
            auto* sheet = qobject_cast<CVNPropertySheet*>(QApplication::activeModalWidget());
            ASSERT_NE(sheet, nullptr);
            if (auto* page = sheet->findChild<Page*>()) steps(*sheet, *page);
            else ADD_FAILURE() << "no such page";
            if (sheet->isVisible()) sheet->reject();
        });
        frame().action(ID_OPTIONS)->trigger();
    }
    // Lists the files of folder that match the regular expression.
    void find(const std::string& folder, const char* pattern) {
        form().folderBox()->setEditText(QString::fromStdString(folder));
        form().searchBox()->setEditText(QString::fromUtf8(pattern));
        qobject_cast<QAbstractButton*>(form().control(IDC_REGEXP))->setChecked(true);
        form().OnFind();
    }

    QApplication& qt = qtApp();
    XdgSandbox sandbox;
    std::string runtime_ = sandbox.dir() / "run";
    HookPresenter presenter;
    ScopedMessagePresenter guard{presenter};
    std::unique_ptr<CROZariduApp> app;
};
