// The line reader and the line framing of a file transfer.
//
// Properties:
// - the lines, each followed by the line end that followed it in the file (CR LF,
//   else CR or LF; none for a last line that has bytes), give the file back
//   exactly; no line holds a CR or LF;
// - the same lines come out when the device hands out a few bytes per read,
//   so that lines and CR LF pairs straddle reads;
// - framing a line gives the line followed by zero, one or two CR LF pairs and
//   nothing else: a line ending in "}" gets none and closes any record, a line
//   ending in "|" gets exactly one; so the framed file with every CR and LF
//   removed equals the file with every CR and LF removed;
// - a reply is awaited only after a line ending in "}"; without the skip list
//   (lookups) after every such line.
#include "Framing.h"
#include "FuzzCheck.h"
#include "LineReader.h"

#include <QBuffer>
#include <QByteArrayList>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

const QByteArray kCrLf = QByteArrayLiteral("\r\n");

// Hands out at most `step` bytes per read, as a pipe or a slow disk may.
class TrickleDevice : public QIODevice {
public:
    TrickleDevice(const QByteArray &data, qint64 step) : m_data(data), m_step(step) {}
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *out, qint64 max) override {
        const qint64 n = std::min({max, m_step, qint64(m_data.size()) - m_pos});
        std::memcpy(out, m_data.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_step;
    qint64 m_pos = 0;
};

QByteArrayList readLines(QIODevice &device) {
    LineReader reader(device);
    QByteArrayList lines;
    while (const std::optional<QByteArray> line = reader.readLine())
        lines << *line;
    FUZZ_CHECK(!reader.failed());
    return lines;
}

void checkLinesGiveFileBack(const QByteArray &file, const QByteArrayList &lines) {
    qsizetype pos = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        FUZZ_CHECK(!line.contains('\r') && !line.contains('\n'));
        FUZZ_CHECK(file.mid(pos, line.size()) == line);
        pos += line.size();
        if (file.sliced(pos).startsWith(kCrLf)) {
            pos += 2;
        } else if (pos < file.size()) {
            FUZZ_CHECK(file[pos] == '\r' || file[pos] == '\n');
            ++pos;
        } else {
            // A line without a line end is the last one and has bytes.
            FUZZ_CHECK(i == lines.size() - 1 && !line.isEmpty());
        }
    }
    FUZZ_CHECK(pos == file.size());
}

QByteArray withoutLineEnds(QByteArray bytes) {
    return bytes.removeIf([](char c) { return c == '\r' || c == '\n'; });
}

void checkFraming(const QByteArray &file, const QByteArrayList &lines, bool application) {
    Framing::State state;
    QByteArray wire;
    for (const QByteArray &line : lines) {
        const bool wasOpen = state.recordOpen;
        const QByteArray framed = Framing::frameLine(line, state);
        FUZZ_CHECK(framed.startsWith(line));
        const QByteArray added = framed.sliced(line.size());
        const qsizetype pairs = added.size() / 2;
        FUZZ_CHECK(added == kCrLf.repeated(pairs));
        FUZZ_CHECK(pairs <= 2);
        if (line.endsWith('}')) {
            FUZZ_CHECK(pairs == 0 && !state.recordOpen);
        } else if (line.endsWith('|')) {
            FUZZ_CHECK(pairs == 1 && state.recordOpen == wasOpen);
        } else {
            // Inside a record every line ends in CR LF.
            FUZZ_CHECK(pairs >= int(wasOpen) && state.recordOpen == (pairs > 0));
        }
        wire += framed;

        const bool awaited = Framing::awaitsReply(line, framed, state, application);
        FUZZ_CHECK(!awaited || line.endsWith('}'));
        if (!application)
            FUZZ_CHECK(awaited == line.endsWith('}'));
    }
    FUZZ_CHECK(withoutLineEnds(wire) == withoutLineEnds(file));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));

    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    const QByteArrayList lines = readLines(buffer);
    checkLinesGiveFileBack(file, lines);

    TrickleDevice trickle(file, size > 0 ? 1 + data[0] % 8 : 1);
    trickle.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    FUZZ_CHECK(readLines(trickle) == lines);

    checkFraming(file, lines, true);
    checkFraming(file, lines, false);
    return 0;
}
