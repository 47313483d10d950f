#include "PtyEndpoint.h"

#include "PrinterSession.h"
#include "PtyDevice.h"
#include "Transcript.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace zelsim {

PtyEndpoint::PtyEndpoint(const FaultPlan &faults, QObject *parent)
    : QObject(parent), m_faults(faults) {}

PtyEndpoint::~PtyEndpoint() {
    close();
}

bool PtyEndpoint::open(QString *error) {
    auto *device = new PtyDevice(this);
    if (!device->openPty(error)) {
        delete device;
        return false;
    }
    m_device = device;
    m_session = new PrinterSession(QStringLiteral("pty#%1").arg(++m_generation), Transport::Pty,
                                   m_faults, this);
    m_session->setCapture(m_capture);
    m_session->setTranscript(m_transcript);
    m_session->bind(m_device);
    connect(m_session, &PrinterSession::endRequested, this, &PtyEndpoint::hangUp);
    if (!updateLink(error)) {
        close();
        return false;
    }
    Q_EMIT pathChanged(path());
    if (m_transcript)
        m_transcript->note(m_session->name(), QStringLiteral("opened ") + path());
    Q_EMIT sessionStarted(m_session);
    return true;
}

void PtyEndpoint::close() {
    removeLink();
    if (m_session) {
        m_session->finish();
        m_session->disconnect(this);
        m_session->deleteLater();
        m_session = nullptr;
    }
    if (m_device) {
        m_device->close();
        m_device->deleteLater();
        m_device = nullptr;
    }
}

QString PtyEndpoint::path() const {
    return m_device ? m_device->slavePath() : QString();
}

void PtyEndpoint::hangUp() {
    hangUpWhenRead(100);
}

void PtyEndpoint::hangUpWhenRead(int triesLeft) {
    // A hangup discards what the client has not read yet; like a TCP close, let
    // the answers already sent arrive first (for a second at most).
    if (!m_device)
        return; // closed meanwhile
    if (m_device->unreadByClient() > 0 && triesLeft > 0) {
        QTimer::singleShot(10, this, [this, triesLeft, generation = m_generation] {
            if (generation == m_generation)
                hangUpWhenRead(triesLeft - 1);
        });
        return;
    }
    // Keep the link while the terminal is swapped, so it never dangles for long.
    const QString link = m_linkPath;
    m_linkPath.clear();
    close();
    m_linkPath = link;
    QString error;
    if (!open(&error) && m_transcript)
        m_transcript->note(QStringLiteral("pty"), QStringLiteral("cannot reopen: ") + error);
}

bool PtyEndpoint::updateLink(QString *error) {
    if (m_linkPath.isEmpty())
        return true;
    const QFileInfo existing(m_linkPath);
    if (existing.exists() && !existing.isSymLink()) {
        if (error)
            *error = QStringLiteral("%1 exists and is not a symbolic link").arg(m_linkPath);
        return false;
    }
    // Made beside the target and renamed over it, so the link is replaced atomically.
    const QByteArray link = QFile::encodeName(m_linkPath);
    const QByteArray temporary = link + ".zelsim-" + QByteArray::number(::getpid());
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(path()).constData(), temporary.constData()) != 0 ||
        std::rename(temporary.constData(), link.constData()) != 0) {
        if (error)
            *error = QStringLiteral("cannot link %1: %2")
                         .arg(m_linkPath, QString::fromLocal8Bit(std::strerror(errno)));
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

void PtyEndpoint::removeLink() {
    if (m_linkPath.isEmpty() || !m_device)
        return;
    const QFileInfo link(m_linkPath);
    if (link.isSymLink() && link.symLinkTarget() == path())
        QFile::remove(m_linkPath);
}

} // namespace zelsim
