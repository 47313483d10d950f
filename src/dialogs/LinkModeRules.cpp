#include "LinkModeRules.h"

#include "EngineView.h"
#include "LinkDescription.h"
#include "PrinterModels.h"
#include "SerialPortControl.h"
#include "SettingsStore.h"
#include "SharedState.h"

#include <QMessageBox>

const QString LinkModeRules::kGeneralWarning =
    QStringLiteral("TCP Mode is not available for this printer - Defaulting to Serial Mode");
const QString LinkModeRules::kKeypadWarning =
    QStringLiteral("TCP Mode is not available for the K72e Keyboard Directly(TCP is Only "
                   "Available using Pass Through Mode) - Defaulting to Serial Mode");

LinkModeRules::LinkModeRules(SharedState &state, SettingsStore &store, SerialPortControl &port,
                             EngineView &view)
    : m_state(state), m_store(store), m_port(port), m_view(view) {}

const PrinterModel *LinkModeRules::printer() const {
    return PrinterModels::find(m_state.printer);
}

bool LinkModeRules::allowsTcp() const {
    const PrinterModel *model = printer();
    return !model || PrinterModels::allowsTcp(*model, m_state.passThrough);
}

void LinkModeRules::warn(const QString &text, QWidget *parent) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Incorrect Mode"), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

void LinkModeRules::forceSerial(QWidget *parent) {
    const PrinterModel *model = printer();
    // The keypad takes TCP/IP through pass-through only, and says so.
    warn(model && model->passThrough ? kKeypadWarning : kGeneralWarning, parent);
    m_state.mode = 0;
    if (model && model->tcp != TcpRule::Allowed) {
        m_state.lineSettings = QLatin1String(model->lineDefaults.settings);
        m_state.handshaking = model->lineDefaults.handshaking;
    }
    // The port number stays as it is.
    m_port.setHandshaking(m_state.handshaking);
    m_port.setSettings(m_state.lineSettings);
    m_port.setCommPort(m_state.comPort);
    m_view.setModePanel(LinkDescription::serialMode());
    saveIt();
}

void LinkModeRules::useTcp(const QString &address, qint32 port) {
    m_state.modeOption = 1;
    m_state.mode = 1;
    m_state.ipAddress = address;
    m_state.ipPort = port;
    m_view.setModePanel(LinkDescription::socketMode());
    m_view.setLinkPanel(LinkDescription::socket(m_state));
    m_store.write(QStringLiteral("Mode"), SettingText::fromInt(m_state.mode));
    m_store.write(QStringLiteral("IPAddress"), address);
    m_store.write(QStringLiteral("IPPort"), SettingText::fromInt(port));
}

void LinkModeRules::saveIt() {
    m_store.write(QStringLiteral("Comport"), SettingText::fromInt(m_state.comPort));
    m_store.write(QStringLiteral("Settings"), m_state.lineSettings);
    m_store.write(QStringLiteral("Handshaking"), SettingText::fromInt(m_state.handshaking));
    // The dialogs' own time-out, which the window keeps at its reply time-out.
    m_store.write(QStringLiteral("Timeout"), SettingText::fromSingle(m_state.dialogTimeout));
    m_store.write(QStringLiteral("Mode"), SettingText::fromInt(m_state.mode));
    if (m_state.mode == 0) {
        m_state.modeOption = 0;
        m_view.setLinkPanel(LinkDescription::serial(m_state));
    }
}
