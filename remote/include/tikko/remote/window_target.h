// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/remote/alarm_requests.h"

namespace tikko {

class FrmMain;

// The running program's window as the target of requests: its list changes at once and saves
// as the editor's does.
class WindowTarget final : public RequestTarget {
public:
    explicit WindowTarget(FrmMain& window)
        : m_window(window) {}

    const AlarmModel& alarms() const override;
    QString storePath() const override;
    QString advanceMinutes() const override;
    SaveResult append(const QString& line, int& row) override;
    SaveResult remove(int row) override;
    void show() override;
    // After the answer is out: the request's caller waits for it.
    void quit() override;

private:
    FrmMain& m_window;
};

} // namespace tikko
