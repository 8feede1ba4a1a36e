// SPDX-License-Identifier: MIT
#include "tikko/alarm/steps.h"

namespace tikko {

void StepRunner::run(std::initializer_list<Step> steps) {
    for (const Step& step : steps) {
        m_ran.append(QLatin1String(step.name));
        try {
            step.run();
        } catch (...) {
            m_failed.append(QLatin1String(step.name));
        }
    }
}

} // namespace tikko
