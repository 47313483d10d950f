#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

constexpr int Patience = 10000;

class ProcessTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Stopped by SIGTERM; SIGINT and SIGHUP reach the same shared watcher
    // (tried on the program itself in tst_program).
    void answersOverBothEndpointsAndEndsCleanly() {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("tty"));
        const QString capture = dir.filePath(QStringLiteral("capture.bin"));
        QProcess printer;
        printer.start(QStringLiteral(ZELSIM_PATH),
                      {"--tcp", "127.0.0.1:0", "--serial", "--link", link, "--capture", capture,
                       "--log", "--fault", "cp4@2"});
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += printer.readAllStandardOutput()).contains("\nserial: "),
                                 Patience);
        // The TCP endpoint opens first, so its line comes first.
        QVERIFY(output.startsWith("tcp: 127.0.0.1:"));
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost,
                             output.mid(15, output.indexOf('\n') - 15).toUShort());
        QSerialPort terminal(link);
        QVERIFY(terminal.open(QIODevice::ReadWrite));

        // Every byte value passes unchanged; "{|}" among them is a packet too, and
        // the closing "{SR}" is answered only after all the rest has arrived.
        QByteArray stream;
        for (int value = 0; value < 256; ++value)
            stream += static_cast<char>(value);
        stream += "{SR}";
        for (QIODevice *client : std::initializer_list<QIODevice *>{&socket, &terminal}) {
            client->write(stream);
            QByteArray received;
            QTRY_COMPARE_WITH_TIMEOUT(received += client->readAll(),
                                      QByteArray("{CP=0,P=001,0}{CP=4,P=002,0}"), Patience);
        }

        // The transcript of --log shows all four answers.
        QTRY_COMPARE_WITH_TIMEOUT((output += printer.readAllStandardOutput()).count("-> reply"), 4,
                                  Patience);
        printer.terminate();
        QVERIFY(printer.waitForFinished(Patience));
        QCOMPARE(printer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(printer.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
        QFile captured(capture);
        QVERIFY(captured.open(QIODevice::ReadOnly));
        QCOMPARE(captured.readAll(), stream + stream);
    }

    void badOptionsAreRejected_data() {
        QTest::addColumn<QStringList>("arguments");
        for (const char *fault : {"delay@1", "silent=3", "explode@1", "silent@0", "error@x"})
            QTest::addRow("fault %s", fault) << QStringList{"--fault", fault};
        QTest::newRow("bad endpoint") << QStringList{"--tcp", "127.0.0.1:99999"};
    }

    void badOptionsAreRejected() {
        QFETCH(QStringList, arguments);
        QProcess printer;
        printer.start(QStringLiteral(ZELSIM_PATH), arguments);
        QVERIFY(printer.waitForFinished(Patience));
        QVERIFY(printer.exitCode() != 0);
        // The complaint names the bad value.
        QVERIFY(printer.readAllStandardError().contains(arguments.last().toUtf8()));
    }
};

QTEST_GUILESS_MAIN(ProcessTest)
#include "tst_zelsim_process.moc"
