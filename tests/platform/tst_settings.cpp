#include "SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The store as other programs and later starts see it: the file, the
// section, the text forms.
class tst_Settings : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    }
    void init() { QFile::remove(SettingsStore::filePath()); }

    void emptyStoreGivesDefaults() {
        SettingsStore store;
        QCOMPARE(store.read("Comport", "1"), QString("1"));
        QCOMPARE(store.read("Settings", "9600,N,8,1"), QString("9600,N,8,1"));
        QVERIFY(!QFile::exists(SettingsStore::filePath()));
    }

    void storeLivesUnderXdgConfigWithTheWindowTitle() {
        SettingsStore store;
        store.write("Comport", "3");
        QCOMPARE(SettingsStore::filePath(),
                 m_config.path() + QString::fromUtf8("/Corvane® ZEL Download Utility.ini"));
        QFile file(SettingsStore::filePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("[Properties]"), text.constData());
        QVERIFY2(text.contains("Comport=3"), text.constData());
    }

    void valuesRoundTripAsText_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("int16") << "Comport"
                               << "12";
        QTest::newRow("negative") << "Printer"
                                  << "-1";
        QTest::newRow("settings with commas") << "Settings"
                                              << "19200,n,8,1";
        QTest::newRow("single") << "Timeout"
                                << "2.5";
        QTest::newRow("bool") << "LLU"
                              << "True";
        QTest::newRow("address") << "IPAddress"
                                 << "printer.local";
        QTest::newRow("blank-edged") << "IPAddress"
                                     << " 10.0.0.7 ";
    }
    void valuesRoundTripAsText() {
        QFETCH(QString, key);
        QFETCH(QString, text);
        SettingsStore().write(key, text);
        QCOMPARE(SettingsStore().read(key, "x"), text);
    }

    void handEditedListReadsAsText() {
        QFile file(SettingsStore::filePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Properties]\nSettings=9600,e,7,2\n");
        file.close();
        QCOMPARE(SettingsStore().read("Settings", "x"), QString("9600,e,7,2"));
    }

    void unreadableStoreGivesDefaults() {
        QFile file(SettingsStore::filePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\x01\x02 not an ini [[[\n=\n");
        file.close();
        QCOMPARE(SettingsStore().read("Mode", "0"), QString("0"));
    }

    void conversions() {
        using namespace SettingText;
        QCOMPARE(toBool("1"), std::optional<bool>(true));
        QCOMPARE(toBool("0"), std::optional<bool>(false));
        QCOMPARE(toBool("True"), std::optional<bool>(true));
        QCOMPARE(toBool("false"), std::optional<bool>(false));
        QCOMPARE(toBool("yes"), std::optional<bool>());
        QCOMPARE(toInt16("Q410"), std::optional<qint16>());
        QCOMPARE(toInt16("40000"), std::optional<qint16>());
        QCOMPARE(toInt16(" 7 "), std::optional<qint16>(7));
        QCOMPARE(toInt32("9100"), std::optional<qint32>(9100));
        QCOMPARE(toSingle("abc"), std::optional<float>());
        QCOMPARE(fromSingle(25.0f), QString("25"));
        QCOMPARE(fromSingle(2.5f), QString("2.5"));
        QCOMPARE(fromSingle(0.1f), QString("0.1"));
        QCOMPARE(fromBool(true), QString("True"));
        QCOMPARE(fromInt(-3), QString("-3"));
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
