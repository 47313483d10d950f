#pragma once

#include <QObject>

class EngineView;
class QWidget;
class SerialPortControl;
class SettingsStore;
class SocketChannel;
struct SharedState;

// The Setup and About commands of the window: each opens its dialog over
// the window and brings the status bar up to date once it has closed.
class SettingsCommands : public QObject {
    Q_OBJECT
public:
    SettingsCommands(QWidget &window, SharedState &state, SettingsStore &store,
                     SerialPortControl &port, SocketChannel &socket, EngineView &view,
                     QObject *parent = nullptr);

    void chooseMode();
    void editCommSettings();
    void editTcpIpSettings();
    void editTimeout();
    void showAbout();

private:
    void showLinkOfMode();

    QWidget &m_window;
    SharedState &m_state;
    SettingsStore &m_store;
    SerialPortControl &m_port;
    SocketChannel &m_socket;
    EngineView &m_view;
};
