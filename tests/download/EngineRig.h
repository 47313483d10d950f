#pragma once

#include "Cancel.h"
#include "Channels.h"
#include "DownloadEngine.h"
#include "DownloadSet.h"
#include "FakeView.h"
#include "SettingsStore.h"
#include "SharedState.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <memory>

// Both links in one fake printer: what was sent goes to `wire`, with "#"
// for each reply wait; each wait plays the next scripted reply ("ok",
// "bad", "cp4", "none", "long", "closed", "cancel": the operator presses
// Cancel and nothing comes). An unscripted wait meets a silent printer.
class FakeLink : public SerialChannel, public SocketChannel {
public:
    explicit FakeLink(SharedState &state, EngineView &view) : m_state(state), m_view(view) {}
    QByteArray wire;
    QByteArrayList script;
    QString settings;
    int inputClears = 0;
    int connects = 0;
    bool reachable = true;

    void openPort() override {}
    void closePort() override {}
    void send(const QByteArray &text) override { wire += text; }
    void send(const QByteArray &text, float &) override { wire += text; }
    qint16 receive(QByteArray &reply, qint32, float &) override {
        static const QHash<QByteArray, std::pair<qint16, QByteArray>> replies{
            {"ok", {0, "{CP=0,P=001,0}"}},
            {"bad", {0, "{CP=0,P=001,?}"}},
            {"closed", {-2, {}}},
            {"none", {-1, {}}},
            {"cancel", {-1, {}}}};
        wire += '#';
        const QByteArray next = script.isEmpty() ? "none" : script.takeFirst();
        if (next == "cancel")
            requestCancel(m_state, m_view);
        reply = replies[next].second;
        return replies[next].first;
    }
    void clearInput() override { ++inputClears; }
    void drainOutput() override {}
    QString portSettings() const override { return settings; }
    void applyPortSettings(int, const QString &text, int) override { settings = text; }
    bool connectToPrinter() override { return ++connects && reachable; }
    void closeConnection() override {}
    void setKeepAlive(bool) override {}

private:
    SharedState &m_state;
    EngineView &m_view;
};

// The real engine between a recording view and the fake printer, with the
// settings store and the working file in a folder of the case's own.
struct EngineRig {
    QTemporaryDir dir;
    SharedState state;
    DownloadSet set;
    FakeView view;
    SettingsStore store;
    FakeLink link{state, view};
    DownloadEngine engine{state, set, store, view, link, link, nullptr};

    EngineRig() {
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        qputenv("XDG_CACHE_HOME", dir.filePath("cache").toUtf8());
    }
    QString file(const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return f.fileName();
    }
};
