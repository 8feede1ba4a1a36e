// SPDX-License-Identifier: MIT
#pragma once

// The main window in throw-away folders with a recording backend and fake clocks; the
// hooks record what would have blocked (menus, pickers, modal windows, messages).
#include "recording_system_actions.h"
#include "recording_user_interface.h"
#include "support/fake_clock.h"
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_store.h"
#include "tikko/shell/frm_main.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QListView>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace tikko {

using testing::at;
using testing::FakeClock;

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class MainWindowTest : public ::testing::Test {
protected:
    // As after the first start: the auto-start entry is there.
    MainWindowTest() { actions.setAutoStartEntry(true); }

    QTemporaryDir program;
    QTemporaryDir data;
    QSettings settings{data.filePath("TikkoClock.ini"), QSettings::IniFormat};
    FakeClock clock{at("2026-12-08 10:05:20")};
    testing::FakeMonotonicClock monotonic;
    RecordingSystemActions actions;
    QString storePath = data.filePath("alarm.ini");
    QString storeReadPath; // the same file unless a test says otherwise
    std::unique_ptr<FrmMain> window;
    // What the window asked of the desktop: messages, menus popped up (with mDelC's state
    // then), pickers, windows; and how the test answers.
    RecordingInterface ui;
    QStringList& messages = ui.messages;
    QStringList& menus = ui.menus;
    QStringList& pickers = ui.pickers;
    std::function<bool(const QString& caption)>& onPick = ui.onPick;
    std::function<void(QDialog&)>& onModal = ui.onModal;
    std::function<void(QMenu&)>& onMenu = ui.onMenu;

    void start() {
        // No test reaches out for the advertisement page unless it asks to.
        if (!settings.contains("option/AdPage"))
            settings.setValue("option/AdPage", QString());
        window = std::make_unique<FrmMain>(context());
        window->formLoad();
    }
    MainWindowContext context() {
        return {actions,   clock,        monotonic, settings, ui, ProgramFiles(program.path()),
                storePath, storeReadPath};
    }
    void writeStore(const QStringList& lines) { ASSERT_TRUE(saveStore(storePath, lines)); }
    template <typename T> T* child(const char* name) const {
        T* widget = window->findChild<T*>(QString::fromUtf8(name));
        EXPECT_TRUE(widget) << name;
        return widget;
    }
    QStringList listLines() const {
        QStringList lines;
        for (int i = 0; i < window->alarms().count(); ++i)
            lines << window->alarms().at(i).text();
        return lines;
    }
    // One tick of the window's timer of that name, as if its interval had passed.
    void tick(const char* timer) const {
        QTimer* t = child<QTimer>(timer);
        ASSERT_TRUE(t && t->isActive());
        QMetaObject::invokeMethod(t, "timeout");
    }
    QAction* menuItem(const char* name) const {
        return window->listMenu()->findChild<QAction*>(QLatin1String(name));
    }
};

} // namespace tikko
