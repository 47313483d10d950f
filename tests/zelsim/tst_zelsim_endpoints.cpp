#include "FaultPlan.h"
#include "PtyEndpoint.h"
#include "StatusReply.h"
#include "TcpEndpoint.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace zelsim;

namespace {

constexpr int Patience = 10000;
const QByteArray r1 = StatusReply::make(1), r2 = StatusReply::make(2);

FaultPlan planOf(const QStringList &faultTexts) {
    FaultPlan plan;
    for (const QString &faultText : faultTexts)
        plan.add(Fault::parse(faultText, nullptr).value());
    return plan;
}

// What `device` has received once `size` bytes are in, or when patience runs out.
QByteArray readAtLeast(QIODevice &device, qsizetype size) {
    QByteArray received;
    (void)QTest::qWaitFor([&] { return (received += device.readAll()).size() >= size; }, Patience);
    return received;
}

} // namespace

class EndpointTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tcpServesOneClientAtATimeUntilItRefuses() {
        TcpEndpoint endpoint(planOf({"drop@3", "refuse@3"}));
        TcpEndpoint refusing(planOf({"refuse"}));
        QString error;
        QVERIFY2(endpoint.listen(QHostAddress::LocalHost, 0, &error), qPrintable(error));
        QVERIFY2(refusing.listen(QHostAddress::LocalHost, 0, &error), qPrintable(error));
        QTcpSocket first, second;
        first.connectToHost(QHostAddress::LocalHost, endpoint.port());
        QTRY_COMPARE_WITH_TIMEOUT(endpoint.connectionCount(), 1, Patience);
        second.connectToHost(QHostAddress::LocalHost, endpoint.port());
        QVERIFY(second.waitForConnected(Patience));
        second.write("{SR}");
        first.write("{SR}{X,1}");
        QCOMPARE(readAtLeast(first, 28), r1 + r2);
        QCOMPARE(second.bytesAvailable(), 0);
        // The drop ends the first session without a reply; the waiting client gets one of its own.
        first.write("{X,2}");
        QTRY_COMPARE_WITH_TIMEOUT(first.state(), QAbstractSocket::UnconnectedState, Patience);
        QCOMPARE(first.readAll(), QByteArray());
        QCOMPARE(readAtLeast(second, 14), r1);
        for (const quint16 port : {endpoint.port(), refusing.port()}) {
            QTcpSocket late;
            late.connectToHost(QHostAddress::LocalHost, port);
            QTRY_COMPARE_WITH_TIMEOUT(late.error(), QAbstractSocket::ConnectionRefusedError,
                                      Patience);
        }
    }

    void hangupOpensANewTerminalBehindTheLink() {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("zelsim-tty"));
        PtyEndpoint endpoint(planOf({"hangup@2"}));
        endpoint.setLinkPath(link);
        QSignalSpy paths(&endpoint, &PtyEndpoint::pathChanged);
        QString error;
        QVERIFY2(endpoint.open(&error), qPrintable(error));
        QSerialPort first(link), second(link);
        QVERIFY(first.open(QIODevice::ReadWrite));
        first.write("{SR}{X,1}");
        QTRY_VERIFY_WITH_TIMEOUT(first.error() != QSerialPort::NoError, Patience);
        // The reply sent before the hangup still arrives.
        QCOMPARE(first.readAll(), r1);
        first.close();
        QCOMPARE(paths.count(), 2);
        QVERIFY(second.open(QIODevice::ReadWrite));
        second.write("{SR}");
        QCOMPARE(readAtLeast(second, 14), r1);
        endpoint.close();
        QVERIFY(!QFileInfo(link).isSymLink());
    }
};

QTEST_GUILESS_MAIN(EndpointTest)
#include "tst_zelsim_endpoints.moc"
