#include "WindowRig.h"

#include <QDebug>
#include <QFile>

void WindowRig::resetWindowRig() {
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_dir->filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_CACHE_HOME", m_dir->filePath(QStringLiteral("cache")).toUtf8());
    m_state = std::make_unique<SharedState>();
    m_store = std::make_unique<SettingsStore>();
    m_statuses.clear();
}

void WindowRig::closeWindowRig() {
    m_window.reset();
    m_pty.reset();
}

void WindowRig::plugSilentLine(int port) {
    m_pty = std::make_unique<PtyPair>();
    qputenv("ZELDL_COM" + QByteArray::number(port), m_pty->slavePath().toLocal8Bit());
}

MainWindow &WindowRig::load(FileChooser *chooser) {
    m_window = std::make_unique<MainWindow>(*m_state, *m_store, nullptr);
    QObject::connect(m_window.get(), &MainWindow::statusWritten, m_window.get(),
                     [this](const QString &text) { m_statuses << text; });
    if (chooser)
        m_window->setFileChooser(*chooser);
    m_window->restoreSettings();
    m_window->show();
    return *m_window;
}

QString WindowRig::makeFile(const QString &name, const QByteArray &bytes) {
    const QString path = m_dir->filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

bool WindowRig::statusesInOrder(const QStringList &expected) const {
    qsizetype at = 0;
    for (const QString &text : expected) {
        at = m_statuses.indexOf(text, at);
        if (at < 0) {
            qWarning() << "missing in order:" << text << "in" << m_statuses;
            return false;
        }
        ++at;
    }
    return true;
}
