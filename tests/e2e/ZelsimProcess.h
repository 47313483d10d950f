#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The virtual printer as a separate process, with its capture file.
class ZelsimProcess {
public:
    ZelsimProcess() = default;
    ~ZelsimProcess();

    // Starts `zelsim --serial --capture FILE` plus the extra options and
    // waits for its endpoint lines.
    bool start(const QStringList &extra = {});
    QString serialPath() const { return m_serial; }
    // Every byte the printer received so far.
    QByteArray captured() const;
    void stop();

private:
    QProcess m_process;
    QTemporaryDir m_dir;
    QString m_serial;
};
