// SPDX-License-Identifier: MIT
#include "tikko/alarm/steps.h"

#include "tikko/alarm/alarm_check.h"

#include <exception>

namespace tikko {

void StepRunner::run(std::initializer_list<Step> steps) {
    for (const Step& step : steps) {
        m_ran.append(QLatin1String(step.name));
        try {
            step.run();
        } catch (const std::exception& error) {
            m_failed.append(QLatin1String(step.name));
            qCWarning(lcAlarm) << "step" << step.name << "failed:" << error.what();
        } catch (...) {
            m_failed.append(QLatin1String(step.name));
            qCWarning(lcAlarm) << "step" << step.name << "failed with an unknown exception";
        }
    }
}

} // namespace tikko
