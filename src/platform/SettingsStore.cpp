#include "SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <charconv>
#include <cmath>
#include <limits>

namespace {
const QString kSection = QStringLiteral("Properties");

QSettings openStore() {
    return QSettings(SettingsStore::filePath(), QSettings::IniFormat);
}
} // namespace

QString SettingsStore::applicationName() {
    return QStringLiteral("Corvane\u00ae ZEL Download Utility");
}

QString SettingsStore::filePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + applicationName() + QStringLiteral(".ini");
}

QString SettingsStore::read(const QString &key, const QString &defaultText) const {
    QSettings store = openStore();
    if (store.status() != QSettings::NoError)
        return defaultText;
    const QVariant value = store.value(kSection + QLatin1Char('/') + key);
    if (!value.isValid())
        return defaultText;
    // A hand-edited value with unquoted commas ("9600,N,8,1") reads as a list.
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void SettingsStore::write(const QString &key, const QString &text) {
    QSettings store = openStore();
    store.setValue(kSection + QLatin1Char('/') + key, text);
    store.sync();
}

namespace SettingText {

namespace {
std::optional<qint64> toInteger(const QString &text, qint64 low, qint64 high) {
    // Whole numbers, and numbers with a fraction rounded half to even, as the
    // store's own writers never produce them but a hand edit may.
    const QString trimmed = text.trimmed();
    // The number parser stops at a NUL byte and reports success.
    if (trimmed.contains(QChar(0)))
        return std::nullopt;
    bool ok = false;
    const qint64 whole = trimmed.toLongLong(&ok);
    if (ok)
        return (whole < low || whole > high) ? std::nullopt : std::optional<qint64>(whole);
    const double real = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(real))
        return std::nullopt;
    const double rounded = std::nearbyint(real);
    if (rounded < double(low) || rounded > double(high))
        return std::nullopt;
    return qint64(rounded);
}
} // namespace

std::optional<qint16> toInt16(const QString &text) {
    const auto v =
        toInteger(text, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
    return v ? std::optional<qint16>(qint16(*v)) : std::nullopt;
}

std::optional<qint32> toInt32(const QString &text) {
    const auto v =
        toInteger(text, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    return v ? std::optional<qint32>(qint32(*v)) : std::nullopt;
}

std::optional<float> toSingle(const QString &text) {
    bool ok = false;
    const double real = text.trimmed().toDouble(&ok);
    // Anything that rounds to the largest float is taken (the store itself
    // writes that value as a text a little above it); beyond is refused.
    const double limit = double(std::numeric_limits<float>::max()) + std::ldexp(1.0, 103);
    if (!ok || !std::isfinite(real) || std::fabs(real) >= limit)
        return std::nullopt;
    return float(real);
}

std::optional<bool> toBool(const QString &text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double real = trimmed.toDouble(&ok);
    if (!ok || std::isnan(real))
        return std::nullopt;
    return real != 0.0;
}

QString fromInt(qint64 value) {
    return QString::number(value);
}

QString fromSingle(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

QString fromBool(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace SettingText
