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
    connect(m_ui.printerList, &QComboBox::currentIndexChanged, this,
            &PrinterSelection::printerChosen);
    connect(m_ui.printerList, &QComboBox::editTextChanged, this,
            &PrinterSelection::printerTextChanged);
    connect(m_ui.passThroughBox, &QCheckBox::toggled, this, &PrinterSelection::passThroughToggled);
    connect(m_ui.lookupBox, &QCheckBox::toggled, this, &PrinterSelection::lookupViewToggled);
    connect(m_ui.standardViewAction, &QAction::triggered, this,
            &PrinterSelection::showStandardView);
    connect(m_ui.lookupViewAction, &QAction::triggered, this, &PrinterSelection::showLookupView);

    // The model is picked from the list only; typing would search it.
    auto *noTyping = new TypedKeyFilter([](QChar) { return false; }, this);
    noTyping->watch(m_ui.printerList);
    noTyping->watch(m_ui.printerList->view());
    m_ui.passThroughBox->hide();
}

void PrinterSelection::fillPrinterList() {
    const QSignalBlocker blocker(m_ui.printerList);
    m_ui.printerList->clear();
    for (const char *name : kPrinterNames)
        m_ui.printerList->addItem(QLatin1String(name));
    m_ui.printerList->setCurrentIndex(-1);
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

void PrinterSelection::forceSerialMode(const QString &text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Incorrect Mode"), text, QMessageBox::Ok,
                    &m_window);
    box.exec();
    m_state.mode = 0;
    // The mode dialog will show "Serial".
    m_state.modeOption = 0;
    if (const auto forced = forcedSerialSettings(m_ui.printerList->currentIndex())) {
        m_state.lineSettings = forced->settings;
        m_state.handshaking = forced->handshaking;
    }
    // The port number stays as it is.
    m_serial.applyPortSettings(m_state.handshaking, m_state.lineSettings, m_state.comPort);
    m_view.setModePanel(LinkDescription::serialMode());
    m_view.saveLinkSettings();
}

void PrinterSelection::printerChosen() {
    const int index = m_ui.printerList->currentIndex();
    switch (index) {
    case Printers::Q410:
    case Printers::Q415:
    case Printers::Q417:
    case Printers::Q412:
        m_ui.passThroughBox->hide();
        if (m_state.mode == 1)
            forceSerialMode(kGeneralModeWarning);
        m_view.setStatus(*choicePrompt(index));
        break;
    case Printers::K72e:
        m_ui.passThroughBox->show();
        // Clearing a checked box runs its handler, which may force serial.
        m_ui.passThroughBox->setChecked(false);
        if (m_state.mode == 1)
            forceSerialMode(kKeypadModeWarning);
        m_view.setStatus(kKeypadPrompt);
        break;
    case Printers::T540:
    case Printers::R300:
    case Printers::T523:
        m_ui.passThroughBox->hide();
        m_view.setStatus(*choicePrompt(index));
        break;
    default:
        // No selection: writing -1 would lose the saved model.
        return;
    }
    m_state.printer = qint16(index);
    m_store.write(QStringLiteral("Printer"), SettingText::fromInt(index));
}

void PrinterSelection::printerTextChanged() {
    const int index = m_ui.printerList->currentIndex();
    if (index < 0)
        return;
    if (index == Printers::K72e) {
        m_ui.passThroughBox->show();
        m_ui.passThroughBox->setChecked(false);
    } else {
        m_ui.passThroughBox->hide();
    }
    m_state.printer = qint16(index);
    m_store.write(QStringLiteral("Printer"), SettingText::fromInt(index));
}

void PrinterSelection::passThroughToggled() {
    const bool checked = m_ui.passThroughBox->isChecked();
    if (checked) {
        m_state.passThrough = true;
        m_view.setStatus(kPassThruPrompt);
    } else {
        if (m_state.mode == 1)
            forceSerialMode(kKeypadModeWarning);
        m_state.passThrough = false;
        m_view.setStatus(kKeypadPrompt);
    }
    m_store.write(QStringLiteral("PassThru"), SettingText::fromBool(checked));
}

void PrinterSelection::setLookupViewShown(bool shown) {
    m_ui.lookupGroup->setVisible(shown);
    m_hooks.setViewWidth(shown ? kLookupWidth : kStandardWidth);
    m_ui.standardViewAction->setChecked(!shown);
    m_ui.lookupViewAction->setChecked(shown);
}

void PrinterSelection::lookupViewToggled() {
    const bool checked = m_ui.lookupBox->isChecked();
    if (!checked) {
        m_state.lookupView = false;
        setLookupViewShown(false);
        m_panel.removeAll();
        m_hooks.centerForm();
        m_view.setStatus(QString());
        if (m_panel.isApplicationChosen())
            m_hooks.statusCaption();
    } else {
        setLookupViewShown(true);
        m_state.lookupView = true;
        m_hooks.centerForm();
        if (DownloadSetRules::isAllFile(m_ui.appFileLabel->text())) {
            m_panel.removeAll();
            for (QPushButton *b : {m_ui.addLookupButton, m_ui.removeLookupButton,
                                   m_ui.removeAllButton, m_ui.upButton, m_ui.downButton})
                b->setEnabled(false);
            m_hooks.statusCaption();
        }
    }
    m_store.write(QStringLiteral("LLU"), SettingText::fromBool(checked));
}

void PrinterSelection::showLookupView() {
    setLookupViewShown(true);
    m_ui.lookupBox->setChecked(true);
    m_hooks.centerForm();
}

void PrinterSelection::showStandardView() {
    setLookupViewShown(false);
    m_ui.lookupBox->setChecked(false);
    m_panel.removeAll();
    m_hooks.centerForm();
}

void PrinterSelection::restoreView(bool lookupView) {
    m_ui.lookupBox->setChecked(lookupView);
    m_state.lookupView = lookupView;
    setLookupViewShown(lookupView);
    if (!lookupView)
        m_panel.removeAll();
    m_hooks.centerForm();
}
