#include "PrinterSelection.h"

#include "Channels.h"
#include "DownloadSetPanel.h"
#include "DownloadSetRules.h"
#include "EditorControls.h"
#include "EngineView.h"
#include "LinkDescription.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "TypedKeyFilter.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

const QString PrinterSelection::kGeneralModeWarning =
    QStringLiteral("TCP Mode is not available for this printer - Defaulting to Serial Mode");
const QString PrinterSelection::kKeypadModeWarning =
    QStringLiteral("TCP Mode is not available for the K72e Keyboard Directly(TCP is Only "
                   "Available using Pass Through Mode) - Defaulting to Serial Mode");

namespace {
const char *const kPrinterNames[] = {
    "Q410", "Q415 ZEL Interp", "Q417 ZEL Interp", "K72e",
    "Q412", "T540 ZEL Interp", "R300 ZEL Interp", "T523 ZEL Interp"};

const QString kKeypadPrompt = QStringLiteral("Set Keypad to Loading Script");
const QString kPassThruPrompt = QStringLiteral("Set Printer to Print Mode Ready");
} // namespace

PrinterSelection::PrinterSelection(QWidget &window, const EditorControls &ui, SharedState &state,
                                   SettingsStore &store, EngineView &view, SerialChannel &serial,
                                   DownloadSetPanel &panel, WindowHooks hooks, QObject *parent)
    : QObject(parent), m_window(window), m_ui(ui), m_state(state), m_store(store), m_view(view),
      m_serial(serial), m_panel(panel), m_hooks(std::move(hooks)) {
    // A selection set by code counts as a choice too, as at start-up.
    connect(m_ui.cboPrinter, &QComboBox::currentIndexChanged, this,
            &PrinterSelection::cboPrinter_Click);
    connect(m_ui.cboPrinter, &QComboBox::editTextChanged, this,
            &PrinterSelection::cboPrinter_Change);
    connect(m_ui.chkPassThru, &QCheckBox::toggled, this, &PrinterSelection::chkPassThru_Click);
    connect(m_ui.chkLookup, &QCheckBox::toggled, this, &PrinterSelection::chkLookup_Click);
    connect(m_ui.mnuStandard, &QAction::triggered, this, &PrinterSelection::mnuStandard_Click);
    connect(m_ui.mnuAdvanced, &QAction::triggered, this, &PrinterSelection::mnuAdvanced_Click);

    // The model is picked from the list only; typing would search it.
    auto *noTyping = new TypedKeyFilter([](QChar) { return false; }, this);
    noTyping->watch(m_ui.cboPrinter);
    noTyping->watch(m_ui.cboPrinter->view());
    m_ui.chkPassThru->hide();
}

void PrinterSelection::fillPrinterList() {
    const QSignalBlocker blocker(m_ui.cboPrinter);
    m_ui.cboPrinter->clear();
    for (const char *name : kPrinterNames)
        m_ui.cboPrinter->addItem(QLatin1String(name));
    m_ui.cboPrinter->setCurrentIndex(-1);
}

std::optional<PrinterSelection::SerialSettings>
PrinterSelection::forcedSerialSettings(int printer) {
    switch (printer) {
    case Printers::Q410:
    case Printers::Q415:
    case Printers::Q417:
        return SerialSettings{QStringLiteral("9600,o,7,1"), 1};
    case Printers::K72e:
        return SerialSettings{QStringLiteral("19200,n,8,1"), 2};
    case Printers::Q412:
        return SerialSettings{QStringLiteral("9600,n,8,1"), 1};
    default:
        return std::nullopt;
    }
}

std::optional<QString> PrinterSelection::choicePrompt(int printer) {
    switch (printer) {
    case Printers::Q410:
    case Printers::Q415:
    case Printers::Q417:
        return QStringLiteral("Set Printer to Data Transfer/Receive");
    case Printers::K72e:
        return kKeypadPrompt;
    case Printers::Q412:
        return QStringLiteral("Set Printer to Online");
    case Printers::T540:
    case Printers::T523:
        return QStringLiteral("Set Printer to Ready");
    case Printers::R300:
        return kPassThruPrompt;
    default:
        return std::nullopt;
    }
}

void PrinterSelection::ForceSerialMode(const QString &text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Incorrect Mode"), text, QMessageBox::Ok,
                    &m_window);
    box.exec();
    m_state.mintMode = 0;
    // The mode dialog will show "Serial".
    m_state.modeOption = 0;
    if (const auto forced = forcedSerialSettings(m_ui.cboPrinter->currentIndex())) {
        m_state.gstrSettings = forced->settings;
        m_state.gintHandshaking = forced->handshaking;
    }
    // The port number stays as it is.
    m_serial.applyPortSettings(m_state.gintHandshaking, m_state.gstrSettings, m_state.gintComPort);
    m_view.setModePanel(LinkDescription::serialMode());
    m_view.SaveIt();
}

void PrinterSelection::cboPrinter_Click() {
    const int index = m_ui.cboPrinter->currentIndex();
    switch (index) {
    case Printers::Q410:
    case Printers::Q415:
    case Printers::Q417:
    case Printers::Q412:
        m_ui.chkPassThru->hide();
        if (m_state.mintMode == 1)
            ForceSerialMode(kGeneralModeWarning);
        m_view.setStatus(*choicePrompt(index));
        break;
    case Printers::K72e:
        m_ui.chkPassThru->show();
        // Clearing a checked box runs its handler, which may force serial.
        m_ui.chkPassThru->setChecked(false);
        if (m_state.mintMode == 1)
            ForceSerialMode(kKeypadModeWarning);
        m_view.setStatus(kKeypadPrompt);
        break;
    case Printers::T540:
    case Printers::R300:
    case Printers::T523:
        m_ui.chkPassThru->hide();
        m_view.setStatus(*choicePrompt(index));
        break;
    default:
        // No selection: writing -1 would lose the saved model.
        return;
    }
    m_state.mintPrinter = qint16(index);
    m_store.write(QStringLiteral("Printer"), SettingText::fromInt(index));
}

void PrinterSelection::cboPrinter_Change() {
    const int index = m_ui.cboPrinter->currentIndex();
    if (index < 0)
        return;
    if (index == Printers::K72e) {
        m_ui.chkPassThru->show();
        m_ui.chkPassThru->setChecked(false);
    } else {
        m_ui.chkPassThru->hide();
    }
    m_state.mintPrinter = qint16(index);
    m_store.write(QStringLiteral("Printer"), SettingText::fromInt(index));
}

void PrinterSelection::chkPassThru_Click() {
    const bool checked = m_ui.chkPassThru->isChecked();
    if (checked) {
        m_state.mblnPassThru = true;
        m_view.setStatus(kPassThruPrompt);
    } else {
        if (m_state.mintMode == 1)
            ForceSerialMode(kKeypadModeWarning);
        m_state.mblnPassThru = false;
        m_view.setStatus(kKeypadPrompt);
    }
    m_store.write(QStringLiteral("PassThru"), SettingText::fromBool(checked));
}

void PrinterSelection::showLookupView(bool shown) {
    m_ui.fraZELLookup->setVisible(shown);
    m_hooks.setViewWidth(shown ? kLookupWidthTwips : kStandardWidthTwips);
    m_ui.mnuStandard->setChecked(!shown);
    m_ui.mnuAdvanced->setChecked(shown);
}

void PrinterSelection::chkLookup_Click() {
    const bool checked = m_ui.chkLookup->isChecked();
    if (!checked) {
        m_state.mblnLookupView = false;
        showLookupView(false);
        m_panel.cmdClear_Click();
        m_hooks.centerForm();
        m_view.setStatus(QString());
        if (m_panel.isApplicationChosen())
            m_hooks.statusCaption();
    } else {
        showLookupView(true);
        m_state.mblnLookupView = true;
        m_hooks.centerForm();
        if (DownloadSetRules::isAllFile(m_ui.lblZELAppFilename->text())) {
            m_panel.cmdClear_Click();
            for (QPushButton *b :
                 {m_ui.cmdAdd, m_ui.cmdRemove, m_ui.cmdClear, m_ui.cmdUp, m_ui.cmdDown})
                b->setEnabled(false);
            m_hooks.statusCaption();
        }
    }
    m_store.write(QStringLiteral("LLU"), SettingText::fromBool(checked));
}

void PrinterSelection::mnuAdvanced_Click() {
    showLookupView(true);
    m_ui.chkLookup->setChecked(true);
    m_hooks.centerForm();
}

void PrinterSelection::mnuStandard_Click() {
    showLookupView(false);
    m_ui.chkLookup->setChecked(false);
    m_panel.cmdClear_Click();
    m_hooks.centerForm();
}

void PrinterSelection::restoreView(bool lookupView) {
    m_ui.chkLookup->setChecked(lookupView);
    m_state.mblnLookupView = lookupView;
    showLookupView(lookupView);
    if (!lookupView)
        m_panel.cmdClear_Click();
    m_hooks.centerForm();
}
