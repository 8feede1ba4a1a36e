// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <functional>
#include <initializer_list>

namespace tikko {

// One named step of start-up or exit.
struct Step {
    const char* name;
    std::function<void()> run;
};

// Runs steps in their order. A step that fails is logged and passed over, and the next one
// runs; the trace tells which ran and which failed.
class StepRunner {
public:
    void run(std::initializer_list<Step> steps);

    const QStringList& ran() const { return m_ran; }
    const QStringList& failed() const { return m_failed; }

private:
    QStringList m_ran;
    QStringList m_failed;
};

} // namespace tikko
