#include "HeadlessView.h"

#include <unistd.h>

namespace {
QString rateText(double bytesPerSecond) {
    if (bytesPerSecond >= 1e6)
        return QStringLiteral("%1 MB/s").arg(bytesPerSecond / 1e6, 0, 'f', 1);
    return QStringLiteral("%1 kB/s").arg(bytesPerSecond / 1e3, 0, 'f', 1);
}

QString clockText(qint64 seconds) {
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

HeadlessView::HeadlessView(bool passThrough, bool takeModelSettings, std::FILE *out)
    : m_out(out), m_terminal(::isatty(::fileno(out)) == 1), m_passThrough(passThrough),
      m_takeModelSettings(takeModelSettings) {}

void HeadlessView::print(const QString &text) {
    clearProgress();
    std::fputs(text.toLocal8Bit().append('\n').constData(), m_out);
    drawProgress(true);
}

void HeadlessView::setStatus(const QString &text) {
    // The window writes some texts twice in a row; a log needs them once.
    if (text == m_status)
        return;
    m_status = text;
    // A blank status line has nothing to read.
    if (!text.trimmed().isEmpty())
        print(text);
}

void HeadlessView::setProgressValue(int percent) {
    m_percent = percent;
    drawProgress(false);
}

void HeadlessView::setProgressVisible(bool visible) {
    if (visible == m_progressVisible)
        return;
    m_progressVisible = visible;
    if (visible) {
        m_bytesAtStart = m_bytes ? m_bytes() : 0;
        m_sinceStart.start();
        drawProgress(true);
    } else {
        clearProgress();
    }
}

int HeadlessView::askDefaultSettings(const QString &description) {
    print(QString(description).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    print(m_takeModelSettings
              ? QStringLiteral("--line-settings model: taking the printer's default settings.")
              : QStringLiteral("Keeping the line settings (--line-settings model takes the "
                               "printer's)."));
    return m_takeModelSettings ? 1 : 2;
}

void HeadlessView::showInformation(const QString &, const QString &text) {
    print(text);
}

void HeadlessView::finish() {
    clearProgress();
    std::fflush(m_out);
}

void HeadlessView::drawProgress(bool force) {
    if (!m_terminal || !m_progressVisible)
        return;
    // A few times a second is enough for the eye; a line per packet is not.
    if (!force && m_sinceDrawn.isValid() && !m_sinceDrawn.hasExpired(200))
        return;
    m_sinceDrawn.start();
    const double seconds = double(std::max<qint64>(m_sinceStart.elapsed(), 1)) / 1000.0;
    const qint64 sent = (m_bytes ? m_bytes() : 0) - m_bytesAtStart;
    QString line =
        QStringLiteral("%1%  %2").arg(m_percent, 3).arg(rateText(double(sent) / seconds));
    if (m_percent > 0 && m_percent < 100)
        line += QStringLiteral("  %1 left")
                    .arg(clockText(qint64(seconds * (100 - m_percent) / m_percent)));
    std::fputs(("\r\033[K" + line).toLocal8Bit().constData(), m_out);
    std::fflush(m_out);
    m_progressShown = true;
}

void HeadlessView::clearProgress() {
    if (!m_progressShown)
        return;
    std::fputs("\r\033[K", m_out);
    m_progressShown = false;
}
