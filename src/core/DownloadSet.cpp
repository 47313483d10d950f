#include "DownloadSet.h"

#include "DownloadSetRules.h"
#include "FileTitle.h"

#include <algorithm>

void DownloadSet::setApplication(const QString &path) {
    m_application = path;
}

void DownloadSet::clearApplication() {
    m_application.clear();
    m_format.clear();
}

QString DownloadSet::applicationName() const {
    return fileTitle(m_application);
}

bool DownloadSet::isBundle() const {
    return DownloadSetRules::isAllFile(applicationName());
}

void DownloadSet::setFormat(const QString &path) {
    m_format = path;
}

QString DownloadSet::formatName() const {
    return fileTitle(m_format);
}

void DownloadSet::setFirstLookup(int number) {
    m_firstLookup = std::clamp(number, 0, kMaxLookups - 1);
}

DownloadSet::Added DownloadSet::addLookups(const QStringList &paths) {
    for (const QString &path : paths)
        m_lookups.append({path, fileTitle(path)});
    const int used = m_firstLookup + lookupCount();
    if (used > kMaxLookups) {
        m_lookups.clear();
        return Added::TooMany;
    }
    return used == kMaxLookups ? Added::Full : Added::Taken;
}

bool DownloadSet::hasRoomForLookups() const {
    return m_firstLookup + lookupCount() < kMaxLookups;
}

void DownloadSet::removeLookup(int index) {
    if (index >= 0 && index < lookupCount())
        m_lookups.removeAt(index);
}

bool DownloadSet::moveLookup(int index, int step) {
    const int to = index + step;
    if (index < 0 || index >= lookupCount() || to < 0 || to >= lookupCount())
        return false;
    m_lookups.move(index, to);
    return true;
}
