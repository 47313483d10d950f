#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

class SettingsStore;

// The stored values the program starts with, each checked when read: a
// value that does not convert or lies outside its range gives the default,
// and its key is noted so that the operator can be told. Nothing is written
// back; the store keeps the value until the user saves.
class StoredValues {
public:
    explicit StoredValues(SettingsStore &store) : m_store(store) {}

    // A whole number from `low` to `high`.
    qint32 number(const QString &key, qint32 fallback, qint32 low, qint32 high);
    // "baud,parity,data bits,stop bits" the serial port can take.
    QString lineSettings(const QString &key, const QString &fallback);
    // A host name or address: letters, digits, '.', '-', ':' and '_' only.
    QString hostAddress(const QString &key, const QString &fallback);
    // Seconds, zero or more.
    float seconds(const QString &key, float fallback);
    bool flag(const QString &key, bool fallback);

    // A value that converts but cannot apply with the others.
    void noteReplaced(const QString &key) { replace(key, 0); }
    QStringList replacedKeys() const { return m_replaced; }
    // One status text naming the replaced keys; empty when none was.
    QString replacedText() const;

private:
    // The stored text, or nothing when the key is not stored.
    std::optional<QString> stored(const QString &key) const;
    template <class T> T replace(const QString &key, T fallback) {
        if (!m_replaced.contains(key))
            m_replaced << key;
        return fallback;
    }

    SettingsStore &m_store;
    QStringList m_replaced;
};
