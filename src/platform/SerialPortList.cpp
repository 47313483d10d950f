#include "SerialPortList.h"

#include "SerialDeviceMap.h"
#include "SerialNative.h"
#include "SerialPortControl.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace {

QString commandOf(qint64 pid) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (pid <= 0 || !comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

QString holderText(qint64 pid) {
    const QString command = commandOf(pid);
    return command.isEmpty() ? QString() : QStringLiteral("%1 (process %2)").arg(command).arg(pid);
}

#ifdef Q_OS_UNIX
// UUCP-style lock files of a device, as Qt and the terminal programs write
// them ("LCK..ttyUSB0", Qt's "LCK..pts_3"): the process id in text on the
// first line.
QStringList lockFiles(const QString &devicePath) {
    QString name = QFileInfo(devicePath).canonicalFilePath();
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    const QStringList names{QStringLiteral("LCK..") + QString(name).replace('/', '_'),
                            QStringLiteral("LCK..") + QFileInfo(name).fileName()};
    QStringList found;
    for (const char *dir : {"/var/lock", "/run/lock", "/tmp"})
        for (const QString &lockName : names)
            if (QFileInfo::exists(QLatin1String(dir) + '/' + lockName))
                found << QLatin1String(dir) + '/' + lockName;
    return found;
}

QString holderByLockFile(const QString &devicePath) {
    for (const QString &path : lockFiles(devicePath)) {
        QFile lock(path);
        const QString holder = lock.open(QIODevice::ReadOnly)
                                   ? holderText(lock.readLine(64).trimmed().toLongLong())
                                   : QString();
        if (!holder.isEmpty())
            return holder;
    }
    return {};
}

// flock and POSIX locks name the file by "major:minor:inode" of where it lives.
QString holderByKernelLock(const struct stat &node) {
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 6 || line.contains("->")) // "->": a waiter, not the holder
            continue;
        const QList<QByteArray> id = fields[5].split(':');
        bool ok[3] = {};
        if (id.size() == 3 && id[0].toUInt(&ok[0], 16) == major(node.st_dev) &&
            id[1].toUInt(&ok[1], 16) == minor(node.st_dev) &&
            id[2].toULongLong(&ok[2]) == node.st_ino && ok[0] && ok[1] && ok[2])
            return holderText(fields[4].toLongLong());
    }
    return {};
}
#endif

int probe(SerialPortControl &port, int number, const QString &devicePath) {
#ifdef Q_OS_UNIX
    // The device's own answer takes microseconds, where Qt's lock file costs
    // a disk sync on every open; the port itself is asked only when a lock
    // file is there for it to judge.
    const SerialNative::Probe quick = SerialNative::probeAndLock(devicePath);
    SerialNative::releaseLock(quick.lockHandle);
    if (quick.error != SerialNative::NoError || lockFiles(devicePath).isEmpty())
        return quick.error;
#endif
    if (!port.setCommPort(number))
        return SerialNative::InvalidPort;
    const int error = port.open();
    port.close();
    return error;
}

} // namespace

bool SerialPortList::Entry::listed() const {
    return error == SerialNative::NoError || error == SerialNative::DeviceNotOpen ||
           error == SerialNative::DeviceAlreadyOpen;
}

QString SerialPortList::Entry::toolTip() const {
    QStringList lines{devicePath};
    if (!description.isEmpty())
        lines << description;
    if (!manufacturer.isEmpty())
        lines << QStringLiteral("Made by ") + manufacturer;
    if (!usbId.isEmpty())
        lines << QStringLiteral("USB ") + usbId;
    if (!serialNumber.isEmpty())
        lines << QStringLiteral("Serial number ") + serialNumber;
    lines << (error == 0 ? QStringLiteral("Free") : problem);
    return lines.join('\n');
}

QString SerialPortList::Entry::summary() const {
    QString text = QStringLiteral("Com%1: %2").arg(number).arg(devicePath);
    if (!description.isEmpty())
        text += QStringLiteral(" - ") + description;
    if (!manufacturer.isEmpty())
        text += QStringLiteral(" (") + manufacturer + ')';
    if (!usbId.isEmpty())
        text += QStringLiteral(", USB ") + usbId;
    if (!serialNumber.isEmpty())
        text += QStringLiteral(", serial number ") + serialNumber;
    return text + (error == 0 ? QStringLiteral(", free") : QStringLiteral(": ") + problem);
}

QList<SerialPortList::Entry> SerialPortList::scan(SerialPortControl &port) {
    // Keyed by path and by name, which is how Windows numbers are written.
    QHash<QString, QSerialPortInfo> known;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        known.insert(info.systemLocation(), info);
        known.insert(info.portName(), info);
    }
    const int keep = port.commPort();
    port.close();
    QList<Entry> entries;
    for (int n = 1; n <= SerialDeviceMap::kHighestPort; ++n) {
        Entry entry;
        entry.number = n;
        entry.devicePath = SerialDeviceMap::devicePath(n);
        const bool overridden =
            !qEnvironmentVariableIsEmpty(qPrintable(QStringLiteral("ZELDL_COM%1").arg(n)));
        QSerialPortInfo info = known.value(entry.devicePath);
        QString real = entry.devicePath;
        if (info.isNull()) {
            if (!overridden || !QFileInfo::exists(real))
                continue; // never open what is not there
            real = QFileInfo(real).canonicalFilePath();
            info = known.value(real);
        }
        entry.description = info.description();
        if (entry.description.isEmpty() && real.startsWith(QLatin1String("/dev/pts/")))
            entry.description = QStringLiteral("Pseudo-terminal");
        if (real != entry.devicePath) // a link, as /dev/serial/by-id/... are
            entry.description += (entry.description.isEmpty() ? QString() : QStringLiteral(", ")) +
                                 QStringLiteral("link to ") + real;
        entry.manufacturer = info.manufacturer();
        if (info.hasVendorIdentifier())
            entry.usbId = QStringLiteral("%1:%2")
                              .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                              .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        entry.serialNumber = info.serialNumber();
        entry.error = probe(port, n, entry.devicePath);
        if (entry.error != 0)
            entry.problem = explain(entry.error, entry.devicePath);
        entries << entry;
    }
    port.setCommPort(keep);
    return entries;
}

QString SerialPortList::explain(int error, const QString &devicePath) {
    const QString path = devicePath.isEmpty() ? QStringLiteral("the port") : devicePath;
    switch (error) {
    case SerialNative::InvalidPort:
        return QFileInfo::exists(devicePath) ? path + QStringLiteral(" is not a serial device")
                                             : path + QStringLiteral(" does not exist");
    case SerialNative::PortAlreadyOpen: {
        const QString holder = holderOf(devicePath);
        return holder.isEmpty() ? QStringLiteral("in use by another application")
                                : QStringLiteral("in use by ") + holder;
    }
#ifdef Q_OS_UNIX
    case SerialNative::DeviceNotOpen: {
        const QString denied = QStringLiteral("permission denied on ") + path;
        struct stat node {};
        if (::stat(QFile::encodeName(devicePath).constData(), &node) != 0)
            return denied;
        const group *owners = ::getgrgid(node.st_gid);
        if (owners && (node.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP))
            return denied + QStringLiteral("; add yourself to the %1 group and log in again")
                                .arg(QString::fromLocal8Bit(owners->gr_name));
        // The group may not use it either: only its owner or an administrator.
        const passwd *owner = ::getpwuid(node.st_uid);
        return denied + QStringLiteral("; only %1 may open it, ask your administrator for access")
                            .arg(owner ? QString::fromLocal8Bit(owner->pw_name)
                                       : QString::number(node.st_uid));
    }
    case SerialNative::DeviceAlreadyOpen: {
        // The probe keeps only the number; asking again gives the reason.
        const int fd = ::open(QFile::encodeName(devicePath).constData(),
                              O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return path + QStringLiteral(" cannot be opened: ") + qt_error_string(errno);
        ::close(fd);
        return path + QStringLiteral(" cannot be set up as a serial port");
    }
#endif
    default:
        return path + QStringLiteral(" cannot be opened");
    }
}

QString SerialPortList::holderOf(const QString &devicePath) {
#ifdef Q_OS_UNIX
    const QString canonical = QFileInfo(devicePath).canonicalFilePath();
    struct stat node {};
    if (canonical.isEmpty() || ::stat(QFile::encodeName(canonical).constData(), &node) != 0)
        return {};
    const QString byFile = holderByLockFile(canonical);
    return byFile.isEmpty() ? holderByKernelLock(node) : byFile;
#else
    Q_UNUSED(devicePath);
    return {};
#endif
}
