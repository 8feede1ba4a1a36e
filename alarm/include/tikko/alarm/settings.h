// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <array>

class QSettings;

namespace tikko {

// Section of every key in the per-user settings.
inline constexpr const char* SettingsSection = "option";

enum class SettingKind {
    Text,     // the box text, stored unchanged and never validated
    CheckBox, // "0" unticked, "1" ticked; anything else leaves the designed state
    Lines,    // a list of texts that the program keeps for itself
};

struct SettingKey {
    const char* name;
    SettingKind kind;
    // Text keys: the text when absent. Check boxes: "1" when the designed state is ticked.
    // Empty for "sWavFN", whose default depends on the program folder.
    const char* defaultValue;
    bool writtenAtExit;
};

// The keys, in the order start-up reads them. The two page addresses are only read: the
// program never writes them, so a changed address is one made in the store by hand. "Fired"
// holds the alarms that fired while alarm.ini could not be written and so are still in it.
inline constexpr std::array<SettingKey, 9> SettingKeys{{
    {"Time", SettingKind::Text, "2", true},
    {"Inter", SettingKind::Text, "30", true},
    {"Beep", SettingKind::CheckBox, "0", true},
    {"Clear", SettingKind::CheckBox, "1", true},
    {"Auto", SettingKind::CheckBox, "1", true},
    {"sWavFN", SettingKind::Text, "", false},
    {"AdPage", SettingKind::Text, "http://www.tikko.example.com/ad4.asp", false},
    {"ForumPage", SettingKind::Text, "http://www.tikko.example.com/bbs", false},
    {"Fired", SettingKind::Lines, "", false},
}};

const SettingKey& settingKey(const char* name);

// A key's default as its control shows it.
inline QString defaultText(const char* name) {
    return QLatin1String(settingKey(name).defaultValue);
}
inline bool defaultTicked(const char* name) {
    return defaultText(name) == QLatin1String("1");
}

// What the settings put into their controls.
struct SettingsValues {
    QString advanceMinutes = defaultText("Time");
    QString restInterval = defaultText("Inter");
    bool restReminder = defaultTicked("Beep");
    bool autoClear = defaultTicked("Clear");
    bool autoStart = defaultTicked("Auto");
    QString soundFilePath; // "sWavFN", whose default depends on the program folder
    // "AdPage" and "ForumPage", which no control shows.
    QString advertisementPage = defaultText("AdPage");
    QString forumPage = defaultText("ForumPage");
};

// The box state a stored check-box text gives; the designed state when it is no 0 or 1.
bool checkBoxState(const QString& stored, bool designed);

// defaultSound is what "sWavFN" means when it is absent.
SettingsValues readSettings(QSettings& settings, const QString& defaultSound);

// The exit writes, in the order "Time", "Clear", "Auto", "Inter", "Beep"; never "sWavFN".
void writeExitSettings(QSettings& settings, const SettingsValues& values);

// Stores the sound file chosen in the picker (the only write of "sWavFN").
void writeSoundPath(QSettings& settings, const QString& path);

// The alarm lines of "Fired"; writing an empty list removes the key.
QStringList readFiredAlarms(QSettings& settings);
void writeFiredAlarms(QSettings& settings, const QStringList& lines);

} // namespace tikko
