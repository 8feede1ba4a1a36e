// SPDX-License-Identifier: MIT
#pragma once

#include <QLoggingCategory>
#include <exception>

namespace tikko {

// Runs the work of a Qt event handler (or of anything called from one). No exception may
// leave it: what one carried is logged under the category of the part that caught it, and
// that piece of work ends there while the program goes on.
template <typename F>
void guarded(const QLoggingCategory& (*category)(), const char* where, F&& work) noexcept {
    try {
        work();
    } catch (const std::exception& error) {
        qCWarning(category) << where << "failed:" << error.what();
    } catch (...) {
        qCWarning(category) << where << "failed with an unknown exception";
    }
}

} // namespace tikko
