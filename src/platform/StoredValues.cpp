#include "StoredValues.h"

#include "LineSettings.h"
#include "SettingsStore.h"

#include <QRegularExpression>

#include <cmath>

namespace {
// No stored text can be this: it marks a key that is not stored.
const QString kMissing = QStringLiteral("\u0001");
} // namespace

std::optional<QString> StoredValues::stored(const QString &key) const {
    const QString text = m_store.read(key, kMissing);
    return text == kMissing ? std::nullopt : std::optional<QString>(text);
}

qint32 StoredValues::number(const QString &key, qint32 fallback, qint32 low, qint32 high) {
    const auto text = stored(key);
    if (!text)
        return fallback;
    const auto v = SettingText::toInt32(*text);
    return v && *v >= low && *v <= high ? *v : replace(key, fallback);
}

QString StoredValues::lineSettings(const QString &key, const QString &fallback) {
    const auto text = stored(key);
    if (!text)
        return fallback;
    return LineSettings::parse(*text) ? *text : replace(key, fallback);
}

QString StoredValues::hostAddress(const QString &key, const QString &fallback) {
    const auto text = stored(key);
    if (!text)
        return fallback;
    static const QRegularExpression host(QStringLiteral("^[A-Za-z0-9._:-]{1,253}$"));
    return host.match(*text).hasMatch() ? *text : replace(key, fallback);
}

float StoredValues::seconds(const QString &key, float fallback) {
    const auto text = stored(key);
    if (!text)
        return fallback;
    const auto v = SettingText::toSingle(*text);
    return v && *v >= 0.0f ? *v : replace(key, fallback);
}

bool StoredValues::flag(const QString &key, bool fallback) {
    const auto text = stored(key);
    if (!text)
        return fallback;
    const auto v = SettingText::toBool(*text);
    return v ? *v : replace(key, fallback);
}

QString StoredValues::replacedText() const {
    if (m_replaced.isEmpty())
        return {};
    return QStringLiteral("Stored settings out of range, defaults in force: ") +
           m_replaced.join(QStringLiteral(", "));
}
