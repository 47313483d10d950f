#pragma once

#include <QString>
#include <QtGlobal>

class EngineView;
class QWidget;
class SerialPortControl;
class SettingsStore;
struct PrinterModel;
struct SharedState;

// What the link mode does once the chosen printer model allows or refuses
// TCP/IP: the serial outcome with the model's own line settings, the TCP/IP
// outcome, and the saving of both. Shared by the TCP/IP and mode dialogs and
// usable by any other place that has to force the serial link.
class LinkModeRules {
public:
    static const QString kGeneralWarning;
    static const QString kKeypadWarning;

    LinkModeRules(SharedState &state, SettingsStore &store, SerialPortControl &port,
                  EngineView &view);

    // The chosen printer; nothing when none is.
    const PrinterModel *printer() const;
    // Whether the chosen printer may use TCP/IP with pass-through as it is
    // now; a position outside the list may.
    bool allowsTcp() const;

    // The "Incorrect Mode" warning over `parent`; returns once it is closed.
    static void warn(const QString &text, QWidget *parent);
    // Warns that the printer refuses TCP/IP, then switches to the serial
    // link with the printer's own line settings: applied to the port (which
    // is neither opened nor closed), shown and saved.
    void forceSerial(QWidget *parent);
    // Switches to TCP/IP at `address` and `port`: shown and stored.
    void useTcp(const QString &address, qint32 port);
    // Stores the serial settings, the time-out and the mode; on the serial
    // link it shows the line's description too.
    void saveIt();

private:
    SharedState &m_state;
    SettingsStore &m_store;
    SerialPortControl &m_port;
    EngineView &m_view;
};
