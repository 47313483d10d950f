#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

class QSocketNotifier;

namespace zelsim {

// The master side of a pseudo-terminal as a sequential QIODevice. The slave
// starts in raw mode, so every byte value passes unchanged in both directions.
//
// The device keeps a descriptor of the slave open itself: without it the
// master reports a hangup whenever no client has the slave open, and a
// client could not come back after closing it.
class PtyDevice : public QIODevice {
    Q_OBJECT
public:
    explicit PtyDevice(QObject *parent = nullptr);
    ~PtyDevice() override;

    // Creates a fresh pseudo-terminal and opens the device read-write.
    bool openPty(QString *error);
    QString slavePath() const { return m_slavePath; }

    // Bytes written that the client has not read yet.
    qint64 unreadByClient() const;

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    qint64 bytesToWrite() const override { return m_writeBuffer.size(); }
    void close() override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    void readFromMaster();
    void flushToMaster();
    void release();

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_readBuffer;
    QByteArray m_writeBuffer;
};

} // namespace zelsim
