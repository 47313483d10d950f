#pragma once

#include <QString>
#include <optional>

// The per-user settings store: application name, section "Properties",
// key -> text. Reads never fail (a missing key or an unreadable store gives
// the default); write failures are ignored.
class SettingsStore {
public:
    // The application name doubles as the window title.
    static QString applicationName();

    QString read(const QString &key, const QString &defaultText) const;
    void write(const QString &key, const QString &text);

    // Where the store lives; for diagnostics and tests.
    static QString filePath();
};

// The printer address used until one is stored: the virtual printer's
// default endpoint, so that a fresh install has something to talk to.
namespace SettingDefaults {
inline const char *const kIPAddress = "127.0.0.1";
inline const char *const kIPPort = "9100";
} // namespace SettingDefaults

// Text forms of the stored values and their conversions. A conversion that
// cannot be made returns nothing: the caller's variable keeps its value.
namespace SettingText {
std::optional<qint16> toInt16(const QString &text);
std::optional<qint32> toInt32(const QString &text);
std::optional<float> toSingle(const QString &text);
std::optional<bool> toBool(const QString &text);

QString fromInt(qint64 value);
QString fromSingle(float value);
QString fromBool(bool value);
} // namespace SettingText
