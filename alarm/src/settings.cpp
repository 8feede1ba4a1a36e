// SPDX-License-Identifier: MIT
#include "tikko/alarm/settings.h"

#include <QSettings>
#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tikko {

namespace {

QString keyPath(const char* name) {
    return QLatin1String(SettingsSection) + QLatin1Char('/') + QLatin1String(name);
}

QString checkText(bool ticked) {
    return ticked ? QStringLiteral("1") : QStringLiteral("0");
}

bool designedTick(const SettingKey& key) {
    return std::strcmp(key.defaultValue, "1") == 0;
}

bool synced(QSettings& settings) {
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace

const SettingKey& settingKey(const char* name) {
    for (const SettingKey& key : SettingKeys) {
        if (std::strcmp(key.name, name) == 0)
            return key;
    }
    throw std::invalid_argument(name);
}

SettingsValues defaultSettings(const QString& defaultSound) {
    SettingsValues values;
    for (const SettingKey& key : SettingKeys) {
        if (key.text)
            values.*key.text = QLatin1String(key.defaultValue);
        if (key.ticked)
            values.*key.ticked = designedTick(key);
    }
    values.soundFilePath = defaultSound;
    return values;
}

int ringMinutes(const SettingsValues& values) {
    bool ok = false;
    const int minutes = values.ringMinutes.trimmed().toInt(&ok);
    if (!ok)
        return QString::fromLatin1(settingKey("RingMinutes").defaultValue).toInt();
    return std::clamp(minutes, 1, LongestRingMinutes);
}

bool checkBoxState(const QString& stored, bool designed) {
    bool ok = false;
    const int value = stored.trimmed().toInt(&ok);
    if (!ok || (value != 0 && value != 1))
        return designed;
    return value == 1;
}

SettingsValues readSettings(QSettings& settings, const QString& defaultSound) {
    SettingsValues values = defaultSettings(defaultSound);
    for (const SettingKey& key : SettingKeys) {
        const QVariant stored = settings.value(keyPath(key.name));
        if (!stored.isValid())
            continue;
        if (key.text)
            values.*key.text = stored.toString();
        if (key.ticked)
            values.*key.ticked = checkBoxState(stored.toString(), designedTick(key));
    }
    return values;
}

bool writeExitSettings(QSettings& settings, const SettingsValues& values) {
    std::array<const SettingKey*, SettingKeys.size()> order{};
    std::transform(SettingKeys.begin(), SettingKeys.end(), order.begin(),
                   [](const SettingKey& key) { return &key; });
    std::sort(order.begin(), order.end(),
              [](const SettingKey* a, const SettingKey* b) { return a->exitOrder < b->exitOrder; });
    for (const SettingKey* key : order) {
        if (!key->writtenAtExit())
            continue;
        settings.setValue(keyPath(key->name),
                          key->ticked ? checkText(values.*key->ticked) : values.*key->text);
    }
    return synced(settings);
}

bool writeSoundPath(QSettings& settings, const QString& path) {
    settings.setValue(keyPath(settingKey("sWavFN").name), path);
    return synced(settings);
}

QStringList readFiredAlarms(QSettings& settings) {
    return settings.value(keyPath(settingKey("Fired").name)).toStringList();
}

bool writeFiredAlarms(QSettings& settings, const QStringList& lines) {
    const QString key = keyPath(settingKey("Fired").name);
    if (lines.isEmpty()) {
        if (!settings.contains(key))
            return true;
        settings.remove(key);
    } else {
        settings.setValue(key, lines);
    }
    return synced(settings);
}

QString settingsProblem(QSettings& settings) {
    switch (settings.status()) {
    case QSettings::NoError:
        return {};
    case QSettings::AccessError:
        return QStringLiteral("没有写入权限");
    case QSettings::FormatError:
        return QStringLiteral("文件格式有误");
    }
    return {};
}

} // namespace tikko
