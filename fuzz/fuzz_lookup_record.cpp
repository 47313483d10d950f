// Recognising and building lookup records.
//
// Properties:
// - isRecordHead(line) holds exactly when the line's first four bytes are "{R",
//   an id "0".."9" or "A".."K", and "_" (a blank before them makes no head);
// - make(text, n) for n in 0..9 is "{R", the id ("0" + n for a text with a
//   "|", "B" + n otherwise), "_XXXX_", the text and "}"; isRecordHead of it holds;
// - isRecordFile of a file with these bytes holds exactly when the file is
//   empty or its bytes up to the first CR or LF are a record head.
#include "FuzzCheck.h"
#include "LookupRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdint>

namespace {

bool headByRule(const QByteArray &line) {
    if (line.size() < 4 || !line.startsWith("{R") || line[3] != '_')
        return false;
    const char id = line[2];
    return (id >= '0' && id <= '9') || (id >= 'A' && id <= 'K');
}

QByteArray firstLine(const QByteArray &bytes) {
    qsizetype end = 0;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
        ++end;
    return bytes.left(end);
}

// The file isRecordFile reads; one per process, removed at exit.
struct ScratchFile {
    QString path =
        QDir::tempPath() +
        QStringLiteral("/fuzz_lookup_record-%1.txt").arg(QCoreApplication::applicationPid());
    ~ScratchFile() { QFile::remove(path); }
};

const QString &scratchPath() {
    static const ScratchFile scratch;
    return scratch.path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    FUZZ_CHECK(LookupRecord::isRecordHead(bytes) == headByRule(bytes));

    const char first = bytes.contains('|') ? '0' : 'B';
    for (int n = 0; n <= 9; ++n) {
        const QByteArray record = LookupRecord::make(bytes, n);
        FUZZ_CHECK(record == "{R" + QByteArray(1, char(first + n)) + "_XXXX_" + bytes + '}');
        FUZZ_CHECK(LookupRecord::isRecordHead(record));
    }

    QFile file(scratchPath());
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
    file.close();
    FUZZ_CHECK(LookupRecord::isRecordFile(file.fileName()) ==
               (bytes.isEmpty() || headByRule(firstLine(bytes))));
    return 0;
}
