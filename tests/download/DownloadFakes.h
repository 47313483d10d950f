#pragma once

#include "Channels.h"
#include "Clock.h"
#include "FakeView.h"
#include "TransferApi.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMetaType>

#include <functional>

// One ordered record of what crossed either link: "SEND:<bytes>" and "WAIT"
// on the serial link, "SOCK:<bytes>" and "SOCKWAIT" on the socket, plus the
// serial port's open, close and settings calls.
using WireLog = QByteArrayList;

// The entries of the log that start with `prefix`, in order.
inline WireLog startingWith(const WireLog &log, const QByteArray &prefix) {
    WireLog out;
    for (const QByteArray &entry : log) {
        if (entry.startsWith(prefix))
            out << entry;
    }
    return out;
}

// The same exchange as the socket would log it.
inline WireLog onSocket(const WireLog &serialLog) {
    WireLog out;
    for (const QByteArray &entry : serialLog) {
        if (entry.startsWith("SEND:"))
            out << "SOCK:" + entry.mid(5);
        else if (entry == "WAIT")
            out << "SOCKWAIT";
        else
            out << entry;
    }
    return out;
}

// A reply the fake printer gives to one wait. `during` runs inside the wait,
// as the operator's Cancel or a line event would.
struct Scripted {
    qint16 result = 0;
    QByteArray reply;
    std::function<void()> during = {};
};

Q_DECLARE_METATYPE(Scripted)

// A printer reply of exactly 14 characters whose 13th is `judged`.
inline QByteArray reply14(char judged, const QByteArray &tail = "X") {
    return QByteArrayLiteral("ACKNOWLEDGED") + judged + tail.left(1);
}

// Takes the next scripted reply for a wait. An unscripted wait is a printer
// that stays silent.
inline qint16 playNext(QList<Scripted> &script, QByteArray &reply) {
    const Scripted next = script.isEmpty() ? Scripted{-1, {}} : script.takeFirst();
    if (next.during)
        next.during();
    reply = next.reply;
    return next.result;
}

// The reply that accepts a packet.
inline const QByteArray kGood = "ACKNOWLEDGED0X";

class FakeSerial : public SerialChannel {
public:
    explicit FakeSerial(WireLog &log) : m_log(log) {}

    QList<Scripted> script;
    QList<float> timeouts;
    std::function<void(const QByteArray &)> onSend;
    QString settings = QStringLiteral("9600,N,8,1");
    int clears = 0;

    void openPort() override { m_log << "OPEN"; }
    void closePort() override { m_log << "CLOSE"; }
    void send(const QByteArray &text) override {
        m_log << "SEND:" + text;
        if (onSend)
            onSend(text);
    }
    qint16 receive(QByteArray &reply, qint32 count, float &timeout) override {
        m_log << "WAIT";
        counts << count;
        timeouts << timeout;
        return playNext(script, reply);
    }
    void clearInput() override { ++clears; }
    QString portSettings() const override { return settings; }
    void applyPortSettings(int handshaking, const QString &text, int portNumber) override {
        m_log << "APPLY:" + QByteArray::number(handshaking) + ',' + text.toLatin1() + ',' +
                     QByteArray::number(portNumber);
        settings = text;
    }

    QList<qint32> counts;

private:
    WireLog &m_log;
};

class FakeSocket : public SocketChannel {
public:
    explicit FakeSocket(WireLog &log) : m_log(log) {}

    QList<Scripted> script;
    QList<float> timeouts;
    QList<float> sendTimeouts;
    // The keep-alive state seen by each wait, and the state now.
    QList<bool> keepAliveDuringWaits;
    bool keepAlive = false;
    int connects = 0;

    bool connectToPrinter() override {
        ++connects;
        m_log << "CONNECT";
        return true;
    }
    void send(const QByteArray &text, float &timeout) override {
        m_log << "SOCK:" + text;
        sendTimeouts << timeout;
    }
    qint16 receive(QByteArray &reply, qint32 count, float &timeout) override {
        m_log << "SOCKWAIT";
        counts << count;
        timeouts << timeout;
        keepAliveDuringWaits << keepAlive;
        return playNext(script, reply);
    }
    void closeConnection() override { m_log << "CLOSESOCK"; }
    void setKeepAlive(bool on) override { keepAlive = on; }

    QList<qint32> counts;

private:
    WireLog &m_log;
};

// Stands in for the application transfer where only its call matters.
class FakeAppSender : public AppFileSender {
public:
    explicit FakeAppSender(WireLog &log) : m_log(log) {}
    std::function<void()> onSend;
    void sendApplication(const QString &path) override {
        m_log << "APP:" + path.toUtf8();
        if (onSend)
            onSend();
    }

private:
    WireLog &m_log;
};

// A view that also keeps every progress value and visibility change, and
// lets a test act on a status text as the operator reading it would.
class RecordingView : public FakeView {
public:
    QList<int> progress;
    QList<bool> visibility;
    std::function<void(const QString &)> onStatus;
    void setStatus(const QString &text) override {
        FakeView::setStatus(text);
        if (onStatus)
            onStatus(text);
    }
    void setProgressValue(int percent) override {
        FakeView::setProgressValue(percent);
        progress << percent;
    }
    void setProgressVisible(bool visible) override {
        FakeView::setProgressVisible(visible);
        visibility << visible;
    }
};

namespace TestFiles {
inline bool write(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray read(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// True when this process holds a file under `folder` open: a transfer must
// close what it opened on every path.
inline bool anyOpenUnder(const QString &folder) {
    const QString root = QFileInfo(folder).canonicalFilePath() + QLatin1Char('/');
    const QDir fds(QStringLiteral("/proc/self/fd"));
    const QStringList entries = fds.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &fd : entries) {
        if (QFile::symLinkTarget(fds.filePath(fd)).startsWith(root))
            return true;
    }
    return false;
}
} // namespace TestFiles

// The tests run on a fast clock even when started by hand.
inline void useFastClock() {
    if (!qEnvironmentVariableIsSet("ZELDL_TIME_SCALE"))
        Clock::setScale(0.01);
}
