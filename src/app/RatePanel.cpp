#include "RatePanel.h"

#include "FileSender.h"

#include <QLocale>
#include <QTime>

RatePanel::RatePanel(const FileSender &sender, QWidget *parent) : QLabel(parent), m_sender(sender) {
    setObjectName(QStringLiteral("ratePanel"));
    setAccessibleName(QStringLiteral("Transfer"));
    setAccessibleDescription(QStringLiteral("Bytes sent of the file, rate and time left"));
    m_timer.setInterval(kUpdateMs);
    connect(&m_timer, &QTimer::timeout, this, &RatePanel::refresh);
}

void RatePanel::setActive(bool active) {
    if (active) {
        m_timer.start();
    } else {
        m_timer.stop();
        clear();
    }
}

QString RatePanel::describe(qint64 sent, qint64 length, qint64 elapsedMs) {
    const QLocale locale;
    QString text =
        QStringLiteral("%1 of %2 bytes").arg(locale.toString(sent), locale.toString(length));
    if (elapsedMs <= 0 || sent <= 0)
        return text;
    const double rate = double(sent) * 1000.0 / double(elapsedMs);
    const qint64 secondsLeft = qint64(double(std::max<qint64>(0, length - sent)) / rate + 0.5);
    const QTime left = QTime(0, 0).addSecs(int(std::min<qint64>(secondsLeft, 86399)));
    return text + QStringLiteral(", %1 bytes/s, %2 left")
                      .arg(locale.toString(qint64(rate + 0.5)),
                           left.toString(secondsLeft >= 3600 ? QStringLiteral("h:mm:ss")
                                                             : QStringLiteral("m:ss")));
}

void RatePanel::refresh() {
    const FileSender::Progress &progress = m_sender.progress();
    const QString text = progress.running
                             ? describe(progress.sent, progress.length, progress.started.elapsed())
                             : QString();
    if (text != this->text())
        setText(text);
}
