#pragma once

// A started application on sandboxed settings, with a scripted message presenter.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "ui/form/MainViewFactory.h"
#include "ui/frame/CROZariduApp.h"
#include "ui/frame/CROZariduFrame.h"
#include "tests/platform/XdgSandbox.h"
#include "tests/support/QtApp.h"
#include "tests/support/ScriptedPresenter.h"

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

    QApplication& qt = qtApp();
    XdgSandbox sandbox;
    std::string runtime_ = sandbox.dir() / "run";
    HookPresenter presenter;
    ScopedMessagePresenter guard{presenter};
    std::unique_ptr<CROZariduApp> app;
};
