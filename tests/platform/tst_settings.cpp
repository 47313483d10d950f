#include "SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The store as later starts and hand edits see it: exact text in section
// "Properties" of a file named after the window title.
class tst_Settings : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private Q_SLOTS:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8()); }

    void storedAsExactText_data() {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("text");
        QTest::newRow("line settings") << QString("9600,N,8,1") << "9600,N,8,1";
        QTest::newRow("blank-edged") << QString(" 10.0.0.7 ") << " 10.0.0.7 ";
        QTest::newRow("true") << SettingText::fromBool(true) << "True";
        QTest::newRow("false") << SettingText::fromBool(false) << "False";
        QTest::newRow("single") << SettingText::fromSingle(0.1f) << "0.1";
        QTest::newRow("whole single") << SettingText::fromSingle(25.0f) << "25";
    }
    void storedAsExactText() {
        QFETCH(QString, written);
        QFETCH(QString, text);
        SettingsStore().write("Value", written);
        QCOMPARE(SettingsStore().read("Value", "default"), text);
    }

    void handEditedListReadsAsText() {
        QFile file(m_config.path() + QString::fromUtf8("/Corvane® ZEL Download Utility.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Properties]\nSettings=9600,e,7,2\n");
        file.close();
        QCOMPARE(SettingsStore().read("Settings", "default"), QString("9600,e,7,2"));
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
