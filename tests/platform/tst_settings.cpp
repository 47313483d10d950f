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

    // Read back as written: blanks kept, a single as short as it goes (flags
    // and whole numbers are read back in the window's and dialogs' tests).
    void storedAsExactText() {
        for (const auto &[written, text] : {std::pair{QString(" 10.0.0.7 "), " 10.0.0.7 "},
                                            {SettingText::fromSingle(0.1f), "0.1"}}) {
            SettingsStore().write("Value", written);
            QCOMPARE(SettingsStore().read("Value", "default"), QString(text));
        }
    }

    void handEditedListReadsAsText() {
        QFile file(m_config.path() + QString::fromUtf8("/Corvane® ZEL Download Utility.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Properties]\nSettings=9600,e,7,2\n");
        file.close();
        QCOMPARE(SettingsStore().read("Settings", "default"), QString("9600,e,7,2"));
    }

    // Hand-edited values as each reader takes them: Int16, Int32, Bool,
    // Single ("-" where refused); fractions round half to even.
    void handEditedValues() {
        const QList<QStringList> rows{{" 3 ", "3 3 true 3"},
                                      {"2.5", "2 2 true 2.5"},
                                      {"-32768.5", "-32768 -32768 true -32768.5"},
                                      {"32767.5", "- 32768 true 32767.5"},
                                      {"2147483648", "- - true 2147483648"},
                                      {"1e39", "- - true -"},
                                      {"fAlSe", "- - false -"},
                                      {"TRUE", "- - true -"},
                                      {"0", "0 0 false 0"},
                                      {"nan", "- - - -"},
                                      {QString::fromLatin1("13\0x", 4), "- - - -"},
                                      {"3.4028235e+38", "- - true 3.4028234663852886e+38"},
                                      {"x", "- - - -"}};
        for (const QStringList &row : rows) {
            const auto text = [](const auto &v) {
                return v ? QVariant(*v).toString() : QStringLiteral("-");
            };
            const QString &t = row[0];
            QCOMPARE(QStringList({text(SettingText::toInt16(t)), text(SettingText::toInt32(t)),
                                  text(SettingText::toBool(t)), text(SettingText::toSingle(t))})
                         .join(' '),
                     row[1]);
        }
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
