#pragma once

#include <QByteArray>

#include <optional>

class QIODevice;

// Reads text lines as bytes, each without its line end; CR LF, LF and CR
// all end a line. A final line end does not make an extra empty line.
class LineReader {
public:
    explicit LineReader(QIODevice &device) : m_device(device) {}

    // Nothing at the end of the file; throws nothing, a read error shows
    // as the device's error and ends the lines.
    std::optional<QByteArray> readLine();
    bool failed() const { return m_failed; }

private:
    bool fill();

    QIODevice &m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_eof = false;
    bool m_failed = false;
    bool m_skipLf = false; // the last line ended in CR: a LF next belongs to it
};
