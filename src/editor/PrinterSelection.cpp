#include "PrinterSelection.h"

#include "Channels.h"
#include "DownloadSet.h"
#include "DownloadSetPanel.h"
#include "DownloadSetRules.h"
#include "EditorControls.h"
#include "EngineView.h"
#include "LinkDescription.h"
#include "PrinterModels.h"
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
    for (const PrinterModel &model : PrinterModels::all())
        m_ui.printerList->addItem(QLatin1String(model.listText));
    m_ui.printerList->setCurrentIndex(-1);
}

void PrinterSelection::forceSerialMode(const QString &text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Incorrect Mode"), text, QMessageBox::Ok,
                    &m_window);
    box.exec();
    m_state.mode = 0;
    // The mode dialog will show "Serial".
    m_state.modeOption = 0;
    // A model that refuses TCP/IP gets its own line settings.
    const PrinterModel *model = PrinterModels::find(m_ui.printerList->currentIndex());
    if (model && model->tcp != TcpRule::Allowed) {
        m_state.lineSettings = QLatin1String(model->lineDefaults.settings);
        m_state.handshaking = model->lineDefaults.handshaking;
    }
    // The port number stays as it is.
    m_serial.applyPortSettings(m_state.handshaking, m_state.lineSettings, m_state.comPort);
    m_view.setModePanel(LinkDescription::serialMode());
    m_view.saveLinkSettings();
}

const PrinterModel *PrinterSelection::takeModel() {
    const int index = m_ui.printerList->currentIndex();
    const PrinterModel *model = PrinterModels::find(index);
    // No selection: writing -1 would lose the saved model.
    if (!model)
        return nullptr;
    m_ui.passThroughBox->setVisible(model->passThrough);
    // Clearing a checked box runs its handler, which may force serial.
    if (model->passThrough)
        m_ui.passThroughBox->setChecked(false);
    m_state.printer = qint16(index);
    if (!m_restoring)
        m_store.write(QStringLiteral("Printer"), SettingText::fromInt(index));
    return model;
}

void PrinterSelection::restorePrinter(int index) {
    m_restoring = true;
    m_ui.printerList->setCurrentIndex(index);
    m_restoring = false;
}

void PrinterSelection::printerChosen() {
    const PrinterModel *model = takeModel();
    if (!model)
        return;
    if (m_state.mode == 1 && model->tcp != TcpRule::Allowed)
        forceSerialMode(model->passThrough ? kKeypadModeWarning : kGeneralModeWarning);
    m_view.setStatus(QLatin1String(model->choicePrompt));
}

void PrinterSelection::printerTextChanged() {
    takeModel();
}

void PrinterSelection::passThroughToggled() {
    const bool checked = m_ui.passThroughBox->isChecked();
    const PrinterModel &keypad = *PrinterModels::find(Printers::K72e);
    if (checked) {
        m_state.passThrough = true;
        m_view.setStatus(QLatin1String(keypad.passThroughSerialPrompt));
    } else {
        if (m_state.mode == 1)
            forceSerialMode(kKeypadModeWarning);
        m_state.passThrough = false;
        m_view.setStatus(QLatin1String(keypad.choicePrompt));
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
        if (m_panel.set().isBundle()) {
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
