#pragma once

#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers modal windows as a user would: each time one comes up, the
// handler looks at it and presses something.
class ModalAnswerer : public QObject {
public:
    explicit ModalAnswerer(std::function<void(QWidget *)> handler) : m_handler(std::move(handler)) {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal && modal != m_last && modal->isVisible()) {
                m_last = modal;
                ++m_seen;
                m_handler(modal);
            } else if (!modal) {
                m_last = nullptr;
            }
        });
        m_timer.start(5);
    }
    int seen() const { return m_seen; }

private:
    std::function<void(QWidget *)> m_handler;
    QTimer m_timer;
    QWidget *m_last = nullptr;
    int m_seen = 0;
};
