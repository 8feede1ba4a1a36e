// SPDX-License-Identifier: MIT
#include "kalendo/property_store.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QSettings>

namespace kalendo {

PropertyStore::~PropertyStore() = default;

namespace {

bool isPicture(const QVariant& v) {
    return v.metaType().id() == QMetaType::QPixmap || v.metaType().id() == QMetaType::QImage;
}

// No value and no picture are both "nothing".
bool isNothing(const QVariant& v) {
    return !v.isValid() || (isPicture(v) && qvariant_cast<QPixmap>(v).isNull());
}

bool sameValue(const QVariant& a, const QVariant& b) {
    if (isNothing(a) || isNothing(b))
        return isNothing(a) && isNothing(b);
    if (isPicture(a) || isPicture(b))
        return false; // pictures have no default but nothing
    bool aok = false, bok = false;
    const qlonglong an = a.toLongLong(&aok);
    const qlonglong bn = b.toLongLong(&bok);
    if (aok && bok)
        return an == bn;
    return a == b;
}

QImage toImage(const QVariant& v) {
    if (v.metaType().id() == QMetaType::QImage)
        return v.value<QImage>();
    return v.value<QPixmap>().toImage();
}

} // namespace

QVariant MemoryPropertyStore::read(const QString& key, const QVariant& defaultValue) {
    m_reads.insert(key, m_reads.value(key).toInt() + 1);
    return m_values.value(key, defaultValue);
}

void MemoryPropertyStore::write(const QString& key, const QVariant& value,
                                const QVariant& defaultValue) {
    if (sameValue(value, defaultValue))
        m_values.remove(key);
    else
        m_values.insert(key, value);
}

void MemoryPropertyStore::clear() {
    m_values.clear();
    m_reads.clear();
}

SettingsPropertyStore::SettingsPropertyStore(QSettings& settings, const QString& group)
    : m_settings(settings)
    , m_group(group) {}

SettingsPropertyStore::~SettingsPropertyStore() = default;

QString SettingsPropertyStore::path(const QString& key) const {
    return m_group.isEmpty() ? key : m_group + QLatin1Char('/') + key;
}

QVariant SettingsPropertyStore::read(const QString& key, const QVariant& defaultValue) {
    return m_settings.value(path(key), defaultValue);
}

void SettingsPropertyStore::write(const QString& key, const QVariant& value,
                                  const QVariant& defaultValue) {
    if (sameValue(value, defaultValue)) {
        m_settings.remove(path(key));
        return;
    }
    if (isPicture(value)) {
        // Pictures go to the file as PNG data, which any later reader can decode.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        toImage(value).save(&buffer, "PNG");
        m_settings.setValue(path(key), png);
        return;
    }
    m_settings.setValue(path(key), value);
}

} // namespace kalendo
