#include "DownloadSetFile.h"

#include "DownloadSetRules.h"
#include "LineSettings.h"
#include "PrinterModels.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

#include <algorithm>

namespace {
const QString kSetGroup = QStringLiteral("DownloadSet");
const QString kLinkGroup = QStringLiteral("Link");
const QString kSerial = QStringLiteral("serial");
const QString kTcp = QStringLiteral("tcp");
constexpr int kHighestComPort = 128;

// Reads one group's values and notes the first thing wrong with them.
class GroupReader {
public:
    GroupReader(QSettings &settings, const QString &group) : m_settings(settings) {
        m_settings.beginGroup(group);
    }
    ~GroupReader() { m_settings.endGroup(); }
    GroupReader(const GroupReader &) = delete;
    GroupReader &operator=(const GroupReader &) = delete;

    bool has(const QString &key) const { return m_settings.contains(key); }
    QStringList keys() const { return m_settings.childKeys(); }

    QString text(const QString &key, const QString &fallback = {}) const {
        const QVariant value = m_settings.value(key);
        if (!value.isValid())
            return fallback;
        // A hand-written value with unquoted commas ("9600,N,8,1") reads as a list.
        if (value.userType() == QMetaType::QStringList)
            return value.toStringList().join(QLatin1Char(','));
        return value.toString();
    }

    int number(const QString &key, int fallback, int low, int high, QString *problem) const {
        if (!has(key))
            return fallback;
        bool ok = false;
        const int n = text(key).trimmed().toInt(&ok);
        if (!ok || n < low || n > high) {
            note(problem,
                 QStringLiteral("%1 must be a number from %2 to %3").arg(key).arg(low).arg(high));
            return fallback;
        }
        return n;
    }

    bool flag(const QString &key, QString *problem) const {
        const QString t = text(key, QStringLiteral("false")).trimmed().toLower();
        if (t != QLatin1String("true") && t != QLatin1String("false"))
            note(problem, key + QStringLiteral(" must be true or false"));
        return t == QLatin1String("true");
    }

    static void note(QString *problem, const QString &text) {
        if (problem->isEmpty())
            *problem = text;
    }

private:
    QSettings &m_settings;
};

QString shownPath(const QString &path) {
    return QDir::toNativeSeparators(path);
}

QString malformed(const QString &path, const QString &why) {
    return QStringLiteral("%1 is not a valid download set file: %2. Nothing was changed.")
        .arg(shownPath(path), why);
}

// The lookups in their order, from Lookup1, Lookup2, ... with no gaps.
QStringList readLookups(const GroupReader &group, QString *problem) {
    static const QRegularExpression lookupKey(QStringLiteral("^Lookup(\\d+)$"));
    QList<int> numbers;
    for (const QString &key : group.keys())
        if (const QRegularExpressionMatch m = lookupKey.match(key); m.hasMatch())
            numbers << m.captured(1).toInt();
    std::sort(numbers.begin(), numbers.end());
    QStringList lookups;
    for (int i = 0; i < numbers.size(); ++i) {
        if (numbers[i] != i + 1) {
            GroupReader::note(problem, QStringLiteral("the lookups must be numbered Lookup1, "
                                                      "Lookup2, ... without gaps"));
            return {};
        }
        lookups << group.text(QStringLiteral("Lookup%1").arg(i + 1));
    }
    return lookups;
}

std::optional<DownloadSetFile::Link> readLink(QSettings &settings, QString *problem) {
    const GroupReader group(settings, kLinkGroup);
    if (group.keys().isEmpty())
        return std::nullopt;
    DownloadSetFile::Link link;
    const QString mode = group.text(QStringLiteral("Mode")).trimmed().toLower();
    if (mode == kSerial) {
        link.mode = 0;
        link.comPort =
            qint16(group.number(QStringLiteral("ComPort"), 1, 1, kHighestComPort, problem));
        link.lineSettings = group.text(QStringLiteral("Settings"), link.lineSettings).trimmed();
        if (!LineSettings::parse(link.lineSettings))
            GroupReader::note(problem, QStringLiteral("Settings must read like 9600,N,8,1"));
        link.handshaking = qint16(group.number(QStringLiteral("Handshaking"), 1, 0, 3, problem));
    } else if (mode == kTcp) {
        static const QRegularExpression host(QStringLiteral("^[A-Za-z0-9._:-]{1,253}$"));
        link.mode = 1;
        link.ipAddress = group.text(QStringLiteral("IPAddress")).trimmed();
        if (!host.match(link.ipAddress).hasMatch())
            GroupReader::note(problem, QStringLiteral("IPAddress must name a host"));
        link.ipPort = group.number(QStringLiteral("IPPort"), 9100, 1, 65535, problem);
    } else {
        GroupReader::note(problem, QStringLiteral("the link's Mode must be serial or tcp"));
    }
    return link;
}
} // namespace

QString DownloadSetFile::modelName(int printer) {
    const PrinterModel *model = PrinterModels::find(printer);
    return model ? QString::fromLatin1(model->listText).section(QLatin1Char(' '), 0, 0) : QString();
}

int DownloadSetFile::modelIndex(const QString &name) {
    const QString wanted = name.trimmed();
    for (const PrinterModel &model : PrinterModels::all()) {
        if (wanted.compare(modelName(model.index), Qt::CaseInsensitive) == 0 ||
            wanted.compare(QLatin1String(model.listText), Qt::CaseInsensitive) == 0)
            return model.index;
    }
    return -1;
}

DownloadSetFile::ReadResult DownloadSetFile::read(const QString &path) {
    ReadResult result;
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        const QString why = !info.exists()  ? QStringLiteral("no such file")
                            : info.isDir()  ? QStringLiteral("it is a folder")
                            : info.isFile() ? file.errorString()
                                            : QStringLiteral("it is not a regular file");
        result.message = QStringLiteral("The download set file %1 cannot be read: %2.")
                             .arg(shownPath(path), why);
        return result;
    }
    file.close();

    QSettings settings(path, QSettings::IniFormat);
    result.status = Status::Malformed;
    if (settings.status() != QSettings::NoError) {
        result.message = malformed(path, QStringLiteral("it is not an INI file"));
        return result;
    }
    QString problem;
    DownloadSetFile &set = result.content;
    QStringList lookups;
    QString application, format;
    {
        const GroupReader group(settings, kSetGroup);
        bool ok = false;
        const int version = group.text(QStringLiteral("Version")).trimmed().toInt(&ok);
        if (!ok || version < 1) {
            result.message = malformed(path, QStringLiteral("it has no valid Version key"));
            return result;
        }
        if (version > kVersion) {
            result.status = Status::Newer;
            result.message = QStringLiteral("%1 was saved by a newer version of the program (set "
                                            "file version %2; this one reads up to version %3). "
                                            "Nothing was changed.")
                                 .arg(shownPath(path))
                                 .arg(version)
                                 .arg(kVersion);
            return result;
        }
        const QString model = group.text(QStringLiteral("Model"));
        set.printer = qint16(modelIndex(model));
        if (set.printer < 0)
            GroupReader::note(&problem, model.isEmpty()
                                            ? QStringLiteral("it names no Model")
                                            : QStringLiteral("unknown model \"%1\"").arg(model));
        set.passThrough = group.flag(QStringLiteral("PassThrough"), &problem);
        application = group.text(QStringLiteral("Application"));
        format = group.text(QStringLiteral("Format"));
        const int first = group.number(QStringLiteral("FirstLookup"), 0, 0,
                                       DownloadSet::kMaxLookups - 1, &problem);
        set.set.setFirstLookup(first);
        lookups = readLookups(group, &problem);
        if (first + lookups.size() > DownloadSet::kMaxLookups)
            GroupReader::note(&problem, QStringLiteral("more lookups than the first lookup number "
                                                       "leaves room for"));
        if (!lookups.isEmpty() && DownloadSetRules::isAllFile(QFileInfo(application).fileName()))
            GroupReader::note(&problem, QStringLiteral("a bundle (.all) carries its own lookups"));
    }
    set.link = readLink(settings, &problem);
    if (!problem.isEmpty()) {
        result.message = malformed(path, problem);
        return result;
    }

    // Relative to the set's own folder; missing files are left out.
    const QDir folder = QFileInfo(path).absoluteDir();
    const auto resolve = [&](const QString &stored) -> QString {
        if (stored.trimmed().isEmpty())
            return {};
        const QString full =
            QDir::cleanPath(folder.absoluteFilePath(QDir::fromNativeSeparators(stored)));
        if (QFileInfo::exists(full))
            return full;
        result.missing << full;
        return {};
    };
    if (const QString app = resolve(application); !app.isEmpty())
        set.set.setApplication(app);
    if (const QString fmt = resolve(format); !fmt.isEmpty())
        set.set.setFormat(fmt);
    QStringList found;
    for (const QString &lookup : lookups)
        if (const QString full = resolve(lookup); !full.isEmpty())
            found << full;
    set.set.addLookups(found);

    result.status = Status::Read;
    if (!result.missing.isEmpty()) {
        QStringList shown;
        for (const QString &missing : result.missing)
            shown << shownPath(missing);
        result.message = QStringLiteral("These files of the download set %1 were not found and "
                                        "have been left out:\n%2")
                             .arg(shownPath(path), shown.join(QLatin1Char('\n')));
    }
    return result;
}

bool DownloadSetFile::write(const QString &path, QString *error) const {
    const QFileInfo info(path);
    const QString failed = QStringLiteral("The download set could not be saved as %1: %2.");
    if (!info.absoluteDir().exists()) {
        if (error)
            *error = failed.arg(shownPath(path), QStringLiteral("the folder does not exist"));
        return false;
    }
    const QDir folder = info.absoluteDir();
    const auto relative = [&](const QString &file) {
        return folder.relativeFilePath(QFileInfo(file).absoluteFilePath());
    };

    QSettings settings(path, QSettings::IniFormat);
    // Whatever the file held before goes: a shorter set leaves no old lookups.
    settings.clear();
    settings.beginGroup(kSetGroup);
    settings.setValue(QStringLiteral("Version"), kVersion);
    settings.setValue(QStringLiteral("Model"), modelName(printer));
    settings.setValue(QStringLiteral("PassThrough"), passThrough ? "true" : "false");
    if (set.hasApplication())
        settings.setValue(QStringLiteral("Application"), relative(set.applicationPath()));
    if (set.hasFormat())
        settings.setValue(QStringLiteral("Format"), relative(set.formatPath()));
    settings.setValue(QStringLiteral("FirstLookup"), set.firstLookup());
    for (int i = 0; i < set.lookupCount(); ++i)
        settings.setValue(QStringLiteral("Lookup%1").arg(i + 1), relative(set.lookups()[i].path));
    settings.endGroup();
    if (link) {
        settings.beginGroup(kLinkGroup);
        if (link->mode == 1) {
            settings.setValue(QStringLiteral("Mode"), kTcp);
            settings.setValue(QStringLiteral("IPAddress"), link->ipAddress);
            settings.setValue(QStringLiteral("IPPort"), link->ipPort);
        } else {
            settings.setValue(QStringLiteral("Mode"), kSerial);
            settings.setValue(QStringLiteral("ComPort"), link->comPort);
            settings.setValue(QStringLiteral("Settings"), link->lineSettings);
            settings.setValue(QStringLiteral("Handshaking"), link->handshaking);
        }
        settings.endGroup();
    }
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        if (error)
            *error = failed.arg(shownPath(path), QStringLiteral("the file cannot be written"));
        return false;
    }
    return true;
}
