#pragma once

#include "FaultPlan.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QIODevice;

namespace zelsim {

class PrinterSession;
class PtyDevice;
class Transcript;

// The serial side of the printer: a pseudo-terminal whose slave path a client
// opens as its serial port. A hangup fault closes it and opens a new one at
// once; the optional symbolic link always points at the current slave.
class PtyEndpoint : public QObject {
    Q_OBJECT
public:
    explicit PtyEndpoint(const FaultPlan &faults, QObject *parent = nullptr);
    ~PtyEndpoint() override;

    void setCapture(QIODevice *capture) { m_capture = capture; }
    void setTranscript(Transcript *transcript) { m_transcript = transcript; }
    void setLinkPath(const QString &linkPath) { m_linkPath = linkPath; }

    bool open(QString *error);
    void close();

    QString path() const;
    PrinterSession *session() const { return m_session; }

Q_SIGNALS:
    void pathChanged(const QString &path);
    void sessionStarted(zelsim::PrinterSession *session);

private:
    void hangUp();
    void hangUpWhenRead(int triesLeft);
    bool updateLink(QString *error);
    void removeLink();

    FaultPlan m_faults;
    QPointer<QIODevice> m_capture;
    Transcript *m_transcript = nullptr;
    QString m_linkPath;
    PtyDevice *m_device = nullptr;
    PrinterSession *m_session = nullptr;
    int m_generation = 0;
};

} // namespace zelsim
