#pragma once

// The main form on a temporary folder, with a scripted message presenter.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <sys/stat.h>

#include "ui/list/CVNFileListCtrl.h"
#include "res/LoadString.h"
#include "ui/form/CROZariduView.h"
#include "ui/form/CVNComboBoxMRU.h"
#include "core/settings/CVNPars.h"
#include "core/messages/Messages.h"
#include "tests/platform/SettingsObstacles.h"
#include "tests/platform/XdgSandbox.h"
#include "tests/support/QtApp.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/TempDir.h"

class MainView : public ::testing::Test {
protected:
    QPushButton* button(int id) const { return qobject_cast<QPushButton*>(view.control(id)); }
    QCheckBox* box(int id) const { return qobject_cast<QCheckBox*>(view.control(id)); }

    // The column titles in visible order.
    std::vector<std::string> columns() const {
        std::vector<std::string> titles;
        const CVNFileListCtrl& l = *view.fileList();
        for (int p = 0; l.GetColumnId(p) >= 0; ++p)
            titles.push_back(
                l.model()->headerData(l.GetColumnId(p), Qt::Horizontal).toString().toStdString());
        return titles;
    }

    // Lists the files of folder (the temporary one unless given) matching pattern, sorted by
    // name, with the first row selected.
    void find(const std::string& pattern, bool regExp, const std::string& folder = {}) {
        view.folderBox()->setEditText(QString::fromStdString(folder.empty() ? dir.path() : folder));
        view.searchBox()->setEditText(QString::fromStdString(pattern));
        box(IDC_REGEXP)->setChecked(regExp);
        button(IDC_FIND)->click();
        view.fileList()->sortByColumnId(0);
        view.fileList()->SelectItem(0, -2);
    }
    void files(std::initializer_list<const char*> names) {
        for (const char* n : names) dir.file(n);
    }
    void replaceWith(const std::string& replacement) {
        view.replaceBox()->setEditText(QString::fromStdString(replacement));
    }
    // Suchen and Ersetzen for a run after a Find.
    void replace(const std::string& search, const std::string& replacement) {
        view.searchBox()->setEditText(QString::fromStdString(search));
        replaceWith(replacement);
    }
    bool exists(const std::string& name) const {
        struct stat st {};
        return lstat((dir / name).c_str(), &st) == 0;
    }
    // The names in a folder, sorted.
    static std::vector<std::string> namesIn(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    int countShown(const std::string& text) const {
        return int(std::count_if(presenter.shown().begin(), presenter.shown().end(),
                                 [&](const ShownMessage& m) { return m.text == text; }));
    }

    QApplication& app = qtApp(); // before any widget member
    TempDir dir;
    CROZariduPars pars;
    HookPresenter presenter;
    ScopedMessagePresenter guard{presenter};
    CROZariduView view{pars};
};

// The form shown in the active window, for what depends on the focus and on keys.
class ShownView : public MainView {
protected:
    void SetUp() override {
        view.show();
        QApplication::setActiveWindow(&view);
        QCoreApplication::processEvents();
    }
    void focus(QWidget* w, Qt::FocusReason reason = Qt::OtherFocusReason) {
        w->setFocus(reason);
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), w);
    }
};
