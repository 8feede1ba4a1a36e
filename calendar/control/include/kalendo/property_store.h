// SPDX-License-Identifier: MIT
#pragma once

#include "kalendo/kalendo_export.h"

#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <memory>

class QSettings;

namespace kalendo {

// Where a host keeps the control's appearance between sessions. Colours are handed in and
// out as integers (0x00BBGGRR, 0x800000nn for a system colour), pictures as QPixmap (an
// empty QPixmap or an invalid QVariant for none); a store may return image data
// (QByteArray) for a picture instead.
class KALENDO_EXPORT PropertyStore {
public:
    virtual ~PropertyStore();
    // The stored value of `key`, or `defaultValue` when the store holds none.
    virtual QVariant read(const QString& key, const QVariant& defaultValue) = 0;
    // Stores `value` under `key`; a store may drop a value equal to `defaultValue`.
    virtual void write(const QString& key, const QVariant& value, const QVariant& defaultValue) = 0;
};

// Keeps the values in memory, as a host's property bag does: a value equal to its default
// is not kept.
class KALENDO_EXPORT MemoryPropertyStore : public PropertyStore {
public:
    QVariant read(const QString& key, const QVariant& defaultValue) override;
    void write(const QString& key, const QVariant& value, const QVariant& defaultValue) override;

    bool contains(const QString& key) const { return m_values.contains(key); }
    QVariantMap values() const { return m_values; }
    void setValue(const QString& key, const QVariant& value) { m_values.insert(key, value); }
    // How often each key was read since the last clear.
    int readCount(const QString& key) const { return m_reads.value(key).toInt(); }
    void clear();

private:
    QVariantMap m_values;
    QVariantMap m_reads;
};

// Keeps the values in a QSettings group; pictures are stored as PNG data.
class KALENDO_EXPORT SettingsPropertyStore : public PropertyStore {
public:
    // Uses `settings` (not owned) under `group` (empty: the top level).
    explicit SettingsPropertyStore(QSettings& settings, const QString& group = QString());
    ~SettingsPropertyStore() override;

    QVariant read(const QString& key, const QVariant& defaultValue) override;
    void write(const QString& key, const QVariant& value, const QVariant& defaultValue) override;

private:
    QString path(const QString& key) const;
    QSettings& m_settings;
    QString m_group;
};

} // namespace kalendo
