#pragma once

#include "WindowHooks.h"

#include <QObject>
#include <QString>

class DownloadSetPanel;
class EngineView;
class QWidget;
struct PrinterModel;
class SerialChannel;
class SettingsStore;
struct EditorControls;
struct SharedState;

// The printer list with each model's link rules, the pass-through box, and
// the standard and lookup views of the window.
class PrinterSelection : public QObject {
    Q_OBJECT
public:
    // Window widths of the two views, in pixels at 96 dpi.
    static constexpr int kStandardWidth = 389;
    static constexpr int kLookupWidth = 656;

    PrinterSelection(QWidget &window, const EditorControls &ui, SharedState &state,
                     SettingsStore &store, EngineView &view, SerialChannel &serial,
                     DownloadSetPanel &panel, WindowHooks hooks, QObject *parent = nullptr);

    // Fills the printer list with nothing selected, without running a handler.
    void fillPrinterList();
    // The view as the start-up restores it.
    void restoreView(bool lookupView);
    // Selects the stored model as a choice would, but leaves the store as it
    // is (a value replaced by its default is not written back).
    void restorePrinter(int index);

    void printerChosen();
    void printerTextChanged();
    void passThroughToggled();
    void lookupViewToggled();
    void showStandardView();
    void showLookupView();

    // A model that refuses the TCP/IP link: warns with `text` and falls back
    // to the serial link with the model's line settings.
    void forceSerialMode(const QString &text);

    static const QString kGeneralModeWarning;
    static const QString kKeypadModeWarning;

private:
    // Shows the chosen model's pass-through box and stores the choice.
    const PrinterModel *takeModel();
    bool m_restoring = false;
    void setLookupViewShown(bool shown);

    QWidget &m_window;
    const EditorControls &m_ui;
    SharedState &m_state;
    SettingsStore &m_store;
    EngineView &m_view;
    SerialChannel &m_serial;
    DownloadSetPanel &m_panel;
    WindowHooks m_hooks;
};
