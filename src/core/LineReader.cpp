#include "LineReader.h"

#include <QIODevice>

#include <cstring>

namespace {
constexpr qint64 kChunk = 64 * 1024;
}

bool LineReader::fill() {
    if (m_eof)
        return false;
    m_buffer.remove(0, m_pos);
    m_pos = 0;
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + kChunk);
    const qint64 n = m_device.read(m_buffer.data() + old, kChunk);
    if (n <= 0) {
        m_buffer.resize(old);
        m_eof = true;
        m_failed = n < 0;
        return false;
    }
    m_buffer.resize(old + n);
    return true;
}

std::optional<QByteArray> LineReader::readLine() {
    if (m_skipLf) {
        if (m_pos >= m_buffer.size() && !fill())
            return std::nullopt;
        if (m_buffer.at(m_pos) == '\n')
            ++m_pos;
        m_skipLf = false;
    }
    qsizetype scan = m_pos; // bytes before it hold no line end
    for (;;) {
        const char *data = m_buffer.constData();
        for (qsizetype i = scan; i < m_buffer.size(); ++i) {
            if (data[i] == '\n' || data[i] == '\r') {
                QByteArray line(data + m_pos, i - m_pos);
                m_pos = i + 1;
                m_skipLf = (data[i] == '\r');
                return line;
            }
        }
        scan = m_buffer.size() - m_pos; // relative, as fill() moves the data
        if (!fill()) {
            if (m_pos >= m_buffer.size())
                return std::nullopt;
            QByteArray line = m_buffer.mid(m_pos);
            m_pos = m_buffer.size();
            return line;
        }
        scan += m_pos;
    }
}
