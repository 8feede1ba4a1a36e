// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/alarm/repeat_rule.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

namespace tikko {

class Clock;

// A number as a user types it: in the user's own form ("0,5" where the locale writes a
// comma) or the C form ("0.5"), blanks around it ignored. Nothing for an empty text, an
// infinity or anything else.
std::optional<double> readUserNumber(const QString& text, const QLocale& locale = QLocale());

// What the editor's boxes hold when "添加闹钟" is pressed.
struct EditorInput {
    QString hoursText;   // cZQH, the span's hours
    QString minutesText; // cZQM, the span's minutes
    QString momentText;  // cJS
    QString advanceText; // tSJ
    QString type;        // cTX
    bool promptEnabled = false;
    QString prompt; // cTxt
    bool actionEnabled = false;
    QString action; // cDZ, the item text
    QString runProgramPath;
    // The repeat rule chosen (its kind and fields; the time and the advance come from the
    // moment and the advance box). Once by default.
    RepeatRule rule;
};

// The box whose text stopped an alarm from being added.
enum class EditorBox { None, Hours, Minutes, Moment, Advance, Program, Repeat };

struct AddOutcome {
    QString line; // the alarm line to append; empty when nothing is added
    EditorBox failed = EditorBox::None;
    QString message; // one line for the user when a box could not be read
    // A one-shot moment before the present minute: it would ring at once, so the user is
    // asked first.
    bool inThePast = false;
};

// The span from now and the adding of an alarm, without a window.
class AlarmEditor {
public:
    explicit AlarmEditor(const Clock& clock)
        : m_clock(clock) {}

    // The present moment plus the span; nothing when either text is no number (the moment
    // in the box then stays as it was, so that it never drifts with each keystroke).
    std::optional<QDateTime> momentFromSpan(const QString& hoursText,
                                            const QString& minutesText) const;

    // The alarm time is the moment minus the whole advance minutes, rounded down (2.9 gives
    // 2, -0.5 gives -1). The prompt and action fields follow the enabled state of their
    // boxes. A span box that holds no number (the moment then is not the one the user
    // meant), a moment or advance that cannot be read, or a program action with no program
    // chosen, adds nothing. With a repeat rule the moment gives the time of day and the first
    // day to consider; the line fires first at the rule's first occurrence not in the past,
    // and carries the rule.
    AddOutcome add(const EditorInput& input) const;

private:
    const Clock& m_clock;
};

} // namespace tikko
