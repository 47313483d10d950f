#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What one download sends: an application, a format and up to ten lookup
// tables in the order they go out, with the number the first one gets on
// the printer. The editor changes it; the engine only reads it.
class DownloadSet {
public:
    static constexpr int kMaxLookups = 10;

    struct Lookup {
        QString path;
        QString name; // the file's name without its folder
    };

    void setApplication(const QString &path);
    // The format goes with the application.
    void clearApplication();
    bool hasApplication() const { return !m_application.isEmpty(); }
    QString applicationPath() const { return m_application; }
    QString applicationName() const;
    // An ".all" bundle carries its own lookups.
    bool isBundle() const;

    void setFormat(const QString &path);
    void clearFormat() { m_format.clear(); }
    bool hasFormat() const { return !m_format.isEmpty(); }
    QString formatPath() const { return m_format; }
    QString formatName() const;

    const QList<Lookup> &lookups() const { return m_lookups; }
    int lookupCount() const { return int(m_lookups.size()); }
    // 0 to 9; kept while the list holds entries.
    int firstLookup() const { return m_firstLookup; }
    void setFirstLookup(int number);

    enum class Added { Taken, Full, TooMany };
    // Appends in the given order. Beyond the limit (counted from the first
    // number) the whole list is dropped: TooMany. Full: the limit is reached.
    Added addLookups(const QStringList &paths);
    bool hasRoomForLookups() const;
    void removeLookup(int index);
    void clearLookups() { m_lookups.clear(); }
    // Moves one entry a place up (-1) or down (+1); false when it cannot.
    bool moveLookup(int index, int step);

private:
    QString m_application;
    QString m_format;
    QList<Lookup> m_lookups;
    int m_firstLookup = 0;
};
