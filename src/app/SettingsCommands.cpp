#include "SettingsCommands.h"

#include "AboutBox.h"
#include "Channels.h"
#include "CommSettingsDialog.h"
#include "EngineView.h"
#include "LinkDescription.h"
#include "MainWindow.h"
#include "ModeDialog.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "TcpIpSettingsDialog.h"
#include "TimeoutDialog.h"

SettingsCommands::SettingsCommands(QWidget &window, SharedState &state, SettingsStore &store,
                                   SerialPortControl &port, SocketChannel &socket, EngineView &view,
                                   QObject *parent)
    : QObject(parent), m_window(window), m_state(state), m_store(store), m_port(port),
      m_socket(socket), m_view(view) {}

void SettingsCommands::chooseMode() {
    ModeDialog dialog(m_state, m_store, m_port, m_view, &m_window);
    dialog.exec();
    if (m_state.mode == 1)
        m_view.setStatus(MainWindow::kBlankStatus);
    showLinkOfMode();
}

void SettingsCommands::showLinkOfMode() {
    m_state.modeOption = m_state.mode == 1 ? 1 : 0;
    if (m_state.mode == 1) {
        m_view.setModePanel(LinkDescription::socketMode());
        m_view.setLinkPanel(LinkDescription::socket(m_state));
    } else {
        m_view.setModePanel(LinkDescription::serialMode());
        m_view.setLinkPanel(LinkDescription::serial(m_state));
    }
}

void SettingsCommands::editCommSettings() {
    CommSettingsDialog dialog(m_state, m_store, m_port, m_view, &m_window);
    dialog.exec();
}

void SettingsCommands::editTcpIpSettings() {
    // A new address applies from the next connection on.
    m_socket.closeConnection();
    TcpIpSettingsDialog dialog(m_state, m_store, m_port, m_view, m_state.ipAddress, m_state.ipPort,
                               &m_window);
    dialog.exec();
    if (dialog.isCancelled())
        return;
    m_state.ipPort = dialog.serverPort();
    m_state.ipAddress = dialog.serverIp();
    m_store.write(QStringLiteral("IPAddress"), m_state.ipAddress);
    m_store.write(QStringLiteral("IPPort"), SettingText::fromInt(m_state.ipPort));
    if (m_state.mode == 1)
        showLinkOfMode();
}

void SettingsCommands::editTimeout() {
    TimeoutDialog dialog(m_state, m_store, m_port, m_view, &m_window);
    dialog.exec();
}

void SettingsCommands::showAbout() {
    AboutBox box(&m_window);
    box.exec();
}
