// SPDX-License-Identifier: MIT
#pragma once

#include <QLoggingCategory>

// What the control's boundaries catch: unexpected failures as warnings, the errors that
// become results of user actions as debug lines (QT_LOGGING_RULES="kalendo.control.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcKalendo)
