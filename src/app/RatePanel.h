#pragma once

#include <QLabel>
#include <QTimer>

class FileSender;

// A status bar panel for the file under way: bytes sent of the file, the
// rate and the time left, twice a second at most; empty when idle. It has a
// fixed accessible name, so that its changes are not read out each time.
class RatePanel : public QLabel {
    Q_OBJECT
public:
    static constexpr int kUpdateMs = 500;

    explicit RatePanel(const FileSender &sender, QWidget *parent = nullptr);

    // On while a download runs.
    void setActive(bool active);
    // "12,345 of 67,890 bytes, 2,345 bytes/s, 0:24 left".
    static QString describe(qint64 sent, qint64 length, qint64 elapsedMs);

private:
    void refresh();

    const FileSender &m_sender;
    QTimer m_timer;
};
