#pragma once

// The main form on a temporary folder, with a scripted message presenter.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <utility>

#include "ui/list/CVNFileListCtrl.h"
#include "res/LoadString.h"
#include "ui/form/CROZariduView.h"
#include "core/scan/MessagePump.h"
#include "core/settings/CVNAppInfo.h"
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
    bool shown(int id) const { return !view.control(id)->isHidden(); }

    // The column titles in visible order.
    std::vector<std::string> columns() const {
        std::vector<std::string> titles;
        const CVNFileListCtrl& l = *view.fileList();
        for (int p = 0; l.GetColumnId(p) >= 0; ++p)
            titles.push_back(
                l.model()->headerData(l.GetColumnId(p), Qt::Horizontal).toString().toStdString());
        return titles;
    }

    // Lists the files of the temporary folder matching pattern, sorted by name.
    void find(const std::string& pattern, bool regExp) {
        view.folderBox()->setEditText(QString::fromStdString(dir.path()));
        view.searchBox()->setEditText(QString::fromStdString(pattern));
        box(IDC_REGEXP)->setChecked(regExp);
        button(IDC_FIND)->click();
        view.fileList()->sortByColumnId(0);
        view.fileList()->SelectItem(0, -2);
    }
    void replaceWith(const std::string& replacement) {
        view.replaceBox()->setEditText(QString::fromStdString(replacement));
    }
    bool exists(const std::string& name) const {
        struct stat st {};
        return lstat((dir / name).c_str(), &st) == 0;
    }
    int countShown(const std::string& text) const {
        int n = 0;
        for (const auto& m : presenter.shown())
            n += m.text == text;
        return n;
    }

    QApplication& app = qtApp(); // before any widget member
    TempDir dir;
    CROZariduPars pars;
    HookPresenter presenter;
    ScopedMessagePresenter guard{presenter};
    CROZariduView view{pars};
};
