#pragma once

#include "Cancel.h"
#include "DownloadFakes.h"
#include "SettingsStore.h"
#include "SharedState.h"

#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// The ground every engine test stands on: a fresh state, a recording view,
// the store and both fake links writing to one wire log. A test class
// derives from it, calls startRig() once and resetLinks() before each case.
class LinkRig {
protected:
    // What happens inside a scripted reply wait.
    enum During { Nothing, OperatorCancel, SerialBreak };

    // Settings and the working file go to folders of the test's own.
    QTemporaryDir m_config;
    QTemporaryDir m_cache;
    WireLog m_log;
    std::unique_ptr<SharedState> m_state;
    std::unique_ptr<RecordingView> m_view;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<FakeSerial> m_serial;
    std::unique_ptr<FakeSocket> m_socket;

    void startRig() {
        useFastClock();
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        qputenv("XDG_CACHE_HOME", m_cache.path().toUtf8());
    }

    // No case sees a setting stored by the one before.
    void resetLinks() {
        QFile::remove(SettingsStore::filePath());
        m_log.clear();
        m_state = std::make_unique<SharedState>();
        m_view = std::make_unique<RecordingView>();
        m_store = std::make_unique<SettingsStore>();
        m_serial = std::make_unique<FakeSerial>(m_log);
        m_socket = std::make_unique<FakeSocket>(m_log);
    }

    void answerEveryPacket(int count) {
        for (int i = 0; i < count; ++i) {
            m_serial->script << Scripted{0, kGood};
            m_socket->script << Scripted{0, kGood};
        }
    }

    std::function<void()> during(int what) {
        switch (what) {
        case OperatorCancel:
            return [this] {
                requestCancel(*m_state, *m_view);
            };
        case SerialBreak:
            // As the serial link's break event on a Q410.
            return [this] {
                m_view->setStatus(QStringLiteral("Check Printer..."));
                m_state->abortRequested = true;
                m_state->breakSeen = true;
                m_state->downloadDone = true;
            };
        default:
            return {};
        }
    }
};
