// SPDX-License-Identifier: MIT
#include "tikko/alarm/settings.h"

#include <QSettings>
#include <cstring>
#include <stdexcept>

namespace tikko {

namespace {

QString keyPath(const char* name) {
    return QLatin1String(SettingsSection) + QLatin1Char('/') + QLatin1String(name);
}

QString readText(QSettings& settings, const char* name, const QString& fallback) {
    const QVariant value = settings.value(keyPath(name));
    return value.isValid() ? value.toString() : fallback;
}

QString readText(QSettings& settings, const char* name) {
    return readText(settings, name, defaultText(name));
}

bool readCheck(QSettings& settings, const char* name) {
    const bool designed = defaultTicked(name);
    const QVariant value = settings.value(keyPath(name));
    return value.isValid() ? checkBoxState(value.toString(), designed) : designed;
}

QString checkText(bool ticked) {
    return ticked ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

const SettingKey& settingKey(const char* name) {
    for (const SettingKey& key : SettingKeys) {
        if (std::strcmp(key.name, name) == 0)
            return key;
    }
    throw std::invalid_argument(name);
}

bool checkBoxState(const QString& stored, bool designed) {
    bool ok = false;
    const int value = stored.trimmed().toInt(&ok);
    if (!ok || (value != 0 && value != 1))
        return designed;
    return value == 1;
}

SettingsValues readSettings(QSettings& settings, const QString& defaultSound) {
    SettingsValues values;
    values.advanceMinutes = readText(settings, "Time");
    values.restInterval = readText(settings, "Inter");
    values.restReminder = readCheck(settings, "Beep");
    values.autoClear = readCheck(settings, "Clear");
    values.autoStart = readCheck(settings, "Auto");
    values.soundFilePath = readText(settings, "sWavFN", defaultSound);
    values.advertisementPage = readText(settings, "AdPage");
    values.forumPage = readText(settings, "ForumPage");
    return values;
}

void writeExitSettings(QSettings& settings, const SettingsValues& values) {
    settings.setValue(keyPath("Time"), values.advanceMinutes);
    settings.setValue(keyPath("Clear"), checkText(values.autoClear));
    settings.setValue(keyPath("Auto"), checkText(values.autoStart));
    settings.setValue(keyPath("Inter"), values.restInterval);
    settings.setValue(keyPath("Beep"), checkText(values.restReminder));
    settings.sync();
}

void writeSoundPath(QSettings& settings, const QString& path) {
    settings.setValue(keyPath("sWavFN"), path);
    settings.sync();
}

QStringList readFiredAlarms(QSettings& settings) {
    return settings.value(keyPath("Fired")).toStringList();
}

void writeFiredAlarms(QSettings& settings, const QStringList& lines) {
    if (lines.isEmpty())
        settings.remove(keyPath("Fired"));
    else
        settings.setValue(keyPath("Fired"), lines);
    settings.sync();
}

} // namespace tikko
