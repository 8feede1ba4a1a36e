// SPDX-License-Identifier: MIT
#include "tikko/remote/window_target.h"

#include "tikko/shell/frm_main.h"

#include <QTimer>

namespace tikko {

const AlarmModel& WindowTarget::alarms() const {
    return m_window.alarms();
}

QString WindowTarget::storePath() const {
    return m_window.store().leftAlone() ? m_window.store().addedPath() : m_window.store().path();
}

QString WindowTarget::advanceMinutes() const {
    return m_window.settings().advanceMinutes;
}

SaveResult WindowTarget::append(const QString& line, int& row) {
    return m_window.addAlarmLine(line, row);
}

SaveResult WindowTarget::remove(int row) {
    return m_window.removeAlarm(row);
}

void WindowTarget::show() {
    m_window.restoreFromTray();
}

void WindowTarget::quit() {
    QTimer::singleShot(0, &m_window, &FrmMain::quitProgram);
}

} // namespace tikko
