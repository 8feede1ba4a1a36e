// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <array>

class QSettings;

namespace tikko {

// Section of every key in the per-user settings.
inline constexpr const char* SettingsSection = "option";

// The settings as the program works with them: the window shows them and edits them here;
// start-up reads them and exit writes them.
struct SettingsValues {
    QString advanceMinutes; // "Time", the box text, never validated
    QString restInterval;   // "Inter"
    bool restReminder = false;
    bool autoClear = true;
    bool autoStart = true;
    QString soundFilePath; // "sWavFN", whose default depends on the program folder
    // "AdPage" and "ForumPage", which no control shows.
    QString advertisementPage;
    QString forumPage;
    QString snoozeMinutes;         // "Snooze": the reminder window's last choice
    bool ringUntilAnswered = true; // "RingUntil"
    QString ringMinutes;           // "RingMinutes": the longest a ring goes on unanswered
    bool askOnClose = true;        // "AskOnClose": unticked by "不再询问"
};

enum class SettingKind {
    Text,     // the box text, stored unchanged and never validated
    CheckBox, // "0" unticked, "1" ticked; anything else leaves the designed state
    Lines,    // a list of texts that the program keeps for itself
};

// One key: its name, what it holds, its default (for check boxes "1" when the designed state
// is ticked), when exit writes it, and the value it fills.
struct SettingKey {
    const char* name;
    SettingKind kind;
    const char* defaultValue;
    int exitOrder; // its place among exit's writes; 0 when exit never writes it
    QString SettingsValues::*text = nullptr;
    bool SettingsValues::*ticked = nullptr;

    bool writtenAtExit() const { return exitOrder > 0; }
};

// The keys, in the order start-up reads them. The two page addresses are only read: the
// program never writes them, so a changed address is one made in the store by hand.
// "sWavFN" is written by the picker alone; its default (empty here) is the program's sound.
// "Fired" holds the alarms that fired while alarm.ini could not be written and so are still
// in it.
inline constexpr std::array<SettingKey, 13> SettingKeys{{
    // name        kind                   default  exit  value
    {"Time", SettingKind::Text, "2", 1, &SettingsValues::advanceMinutes},
    {"Inter", SettingKind::Text, "30", 4, &SettingsValues::restInterval},
    {"Beep", SettingKind::CheckBox, "0", 5, nullptr, &SettingsValues::restReminder},
    {"Clear", SettingKind::CheckBox, "1", 2, nullptr, &SettingsValues::autoClear},
    {"Auto", SettingKind::CheckBox, "1", 3, nullptr, &SettingsValues::autoStart},
    {"sWavFN", SettingKind::Text, "", 0, &SettingsValues::soundFilePath},
    {"AdPage", SettingKind::Text, "http://www.tikko.example.com/ad4.asp", 0,
     &SettingsValues::advertisementPage},
    {"ForumPage", SettingKind::Text, "http://www.tikko.example.com/bbs", 0,
     &SettingsValues::forumPage},
    {"Fired", SettingKind::Lines, "", 0},
    {"Snooze", SettingKind::Text, "5", 6, &SettingsValues::snoozeMinutes},
    {"RingUntil", SettingKind::CheckBox, "1", 7, nullptr, &SettingsValues::ringUntilAnswered},
    {"RingMinutes", SettingKind::Text, "5", 8, &SettingsValues::ringMinutes},
    {"AskOnClose", SettingKind::CheckBox, "1", 9, nullptr, &SettingsValues::askOnClose},
}};

// The longest a ring goes on unanswered, in minutes.
inline constexpr int LongestRingMinutes = 60;

// How long a ring that nobody answers goes on: 1 to 60 minutes, 5 for a text no number.
int ringMinutes(const SettingsValues& values);

const SettingKey& settingKey(const char* name);

// The values of a first start: every key's default; defaultSound for "sWavFN".
SettingsValues defaultSettings(const QString& defaultSound = {});

// The box state a stored check-box text gives; the designed state when it is no 0 or 1.
bool checkBoxState(const QString& stored, bool designed);

// defaultSound is what "sWavFN" means when it is absent.
SettingsValues readSettings(QSettings& settings, const QString& defaultSound);

// The exit writes, in the order "Time", "Clear", "Auto", "Inter", "Beep", then the keys
// that came later ("Snooze", "RingUntil", "RingMinutes", "AskOnClose"); never "sWavFN".
// False when the settings could not be stored (the reason is the store's status).
bool writeExitSettings(QSettings& settings, const SettingsValues& values);

// Stores the sound file chosen in the picker (the only write of "sWavFN").
bool writeSoundPath(QSettings& settings, const QString& path);

// The alarm lines of "Fired"; writing an empty list removes the key.
QStringList readFiredAlarms(QSettings& settings);
bool writeFiredAlarms(QSettings& settings, const QStringList& lines);

// Why the settings could not be stored, as a short phrase; empty when they were.
QString settingsProblem(QSettings& settings);

} // namespace tikko
