#pragma once

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The virtual printer as a process on the endpoints its options name
// ("--serial", "--tcp", "127.0.0.1:0", "--fault", ...), keeping every byte
// it receives. The including test defines ZELSIM_PATH.
struct ZelsimPrinter {
    QProcess process;
    QTemporaryDir dir;
    QString tty;
    QString port;
    explicit ZelsimPrinter(const QStringList &options) {
        process.start(QStringLiteral(ZELSIM_PATH),
                      QStringList{"--capture", dir.filePath("in")} + options);
        const bool serial = options.contains("--serial"), tcp = options.contains("--tcp");
        while (((serial && tty.isEmpty()) || (tcp && port.isEmpty())) &&
               process.waitForReadyRead(10000))
            while (process.canReadLine()) {
                const QString line = QString::fromLocal8Bit(process.readLine().trimmed());
                if (line.startsWith("serial: "))
                    tty = line.mid(8);
                if (line.startsWith("tcp: "))
                    port = line.section(':', 2);
            }
    }
    ~ZelsimPrinter() {
        process.terminate();
        process.waitForFinished(10000);
    }
    QByteArray received() const {
        QFile file(dir.filePath("in"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Without the keep-alive blanks between packets.
    QByteArray captured() const {
        QByteArray bytes = received();
        int depth = 0;
        bytes.removeIf([&](char c) {
            depth += c == '{' ? 1 : c == '}' ? -1 : 0;
            return c == ' ' && depth == 0;
        });
        return bytes;
    }
};
