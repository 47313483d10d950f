#include "SetFileCommands.h"

#include "Channels.h"
#include "DownloadSet.h"
#include "DownloadSetPanel.h"
#include "EditorControls.h"
#include "EngineView.h"
#include "LinkDescription.h"
#include "PrinterModels.h"
#include "PrinterSelection.h"
#include "SettingsStore.h"
#include "SharedState.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

const QString SetFileCommands::kRecentKey = QStringLiteral("RecentSets");

namespace {
const QChar kRecentSeparator = QLatin1Char('\n');

QString nameFilter() {
    return QStringLiteral("Download Sets (*.%1)").arg(DownloadSetFile::suffix());
}

QString absolute(const QString &path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

SetFileCommands::SetFileCommands(QWidget &window, const EditorControls &ui, SharedState &state,
                                 SettingsStore &store, EngineView &view, SerialChannel &serial,
                                 SocketChannel &socket, DownloadSetPanel &panel,
                                 PrinterSelection &printers, QAction &openAction, QMenu &recentMenu,
                                 QObject *parent)
    : QObject(parent), m_window(window), m_ui(ui), m_state(state), m_store(store), m_view(view),
      m_serial(serial), m_socket(socket), m_panel(panel), m_printers(printers),
      m_openAction(openAction), m_recentMenu(recentMenu) {
    connect(&m_openAction, &QAction::triggered, this, &SetFileCommands::openSet);
    // A set deleted or moved since goes from the menu the next time it opens.
    connect(&m_recentMenu, &QMenu::aboutToShow, this, &SetFileCommands::fillRecentMenu);
    m_recentMenu.setToolTipsVisible(true);
    fillRecentMenu();
}

bool SetFileCommands::isSetFile(const QString &path) {
    return QFileInfo(path).suffix().compare(DownloadSetFile::suffix(), Qt::CaseInsensitive) == 0;
}

bool SetFileCommands::canOpen() const {
    return m_openAction.isEnabled();
}

void SetFileCommands::warn(const QString &text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Download Set"), text, QMessageBox::Ok,
                    &m_window);
    box.exec();
}

QString SetFileCommands::startFolder() const {
    if (!m_lastFolder.isEmpty())
        return m_lastFolder;
    const QStringList recent = recentSets();
    return recent.isEmpty() ? QString() : QFileInfo(recent.first()).absolutePath();
}

void SetFileCommands::openSet() {
    if (!canOpen())
        return;
    QFileDialog dialog(&m_window, QStringLiteral("Open Set"), startFolder());
    dialog.setObjectName(QStringLiteral("openSetDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({nameFilter(), QStringLiteral("All Files (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_lastFolder = dialog.directory().absolutePath();
    open(dialog.selectedFiles().first());
}

void SetFileCommands::saveSetAs() {
    QFileDialog dialog(&m_window, QStringLiteral("Save Set As"), startFolder());
    dialog.setObjectName(QStringLiteral("saveSetDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(DownloadSetFile::suffix());
    dialog.setNameFilters({nameFilter()});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_lastFolder = dialog.directory().absolutePath();
    const QString path = absolute(dialog.selectedFiles().first());
    QString error;
    if (!current().write(path, &error)) {
        warn(error);
        return;
    }
    remember(path);
    m_view.setStatus(QStringLiteral("Saved set ") + QFileInfo(path).fileName());
}

DownloadSetFile SetFileCommands::current() const {
    DownloadSetFile file;
    file.set = m_panel.set();
    const int chosen = m_ui.printerList->currentIndex();
    file.printer = chosen >= 0 ? qint16(chosen) : m_state.printer;
    file.passThrough = m_view.isPassThruChecked();
    DownloadSetFile::Link link;
    link.mode = m_state.mode;
    link.comPort = m_state.comPort;
    link.lineSettings = m_state.lineSettings;
    link.handshaking = m_state.handshaking;
    link.ipAddress = m_state.ipAddress;
    link.ipPort = m_state.ipPort;
    file.link = link;
    return file;
}

bool SetFileCommands::open(const QString &path) {
    if (!canOpen())
        return false;
    const QString full = absolute(path);
    const DownloadSetFile::ReadResult read = DownloadSetFile::read(full);
    if (!read.ok()) {
        warn(read.message);
        // A recent entry that has gone, or that is no set file, is no use there.
        forget(full);
        return false;
    }
    const QStringList leftOut = apply(read.content);
    remember(full);
    m_view.setStatus(QStringLiteral("Opened set ") + QFileInfo(full).fileName());
    QStringList message;
    if (!read.message.isEmpty())
        message << read.message;
    for (const QString &format : leftOut)
        message << QStringLiteral("The format %1 goes with an application and has been left out.")
                       .arg(QDir::toNativeSeparators(format));
    // All that was left out in one box.
    if (!message.isEmpty())
        warn(message.join(QLatin1Char('\n')));
    return true;
}

QStringList SetFileCommands::apply(const DownloadSetFile &file) {
    // The opened set replaces the one in the window as a whole.
    if (m_panel.set().hasApplication())
        m_panel.removeApplication();
    else if (m_panel.set().hasFormat())
        m_panel.removeFormat();
    if (m_panel.set().lookupCount() > 0)
        m_panel.removeAll();

    // A set with its own link replaces the current link: the printer's
    // choice is judged against the set's link, not the one it replaces.
    if (file.link)
        m_state.mode = 0;
    if (m_ui.printerList->currentIndex() != file.printer)
        m_ui.printerList->setCurrentIndex(file.printer);
    if (PrinterModels::passesThrough(file.printer))
        m_ui.passThroughBox->setChecked(file.passThrough);
    if (file.link)
        applyLink(*file.link);

    const DownloadSet &set = file.set;
    if (set.lookupCount() > 0 && !m_ui.lookupBox->isChecked())
        m_printers.showLookupView();
    m_ui.firstLookupList->setCurrentIndex(set.firstLookup());
    if (set.hasApplication())
        m_panel.takeApplication(set.applicationPath());
    QStringList leftOut;
    if (set.hasFormat()) {
        // Only where Add Fmt... could take it: after an application, not a bundle.
        if (m_ui.addFormatButton->isEnabled())
            m_panel.takeFormat(set.formatPath());
        else
            leftOut << set.formatPath();
    }
    QStringList lookups;
    for (const DownloadSet::Lookup &lookup : set.lookups())
        lookups << lookup.path;
    if (!lookups.isEmpty())
        m_panel.takeLookups(lookups);
    return leftOut;
}

void SetFileCommands::applyLink(const DownloadSetFile::Link &link) {
    m_socket.closeConnection();
    if (link.mode == 1) {
        const PrinterModel *model = PrinterModels::find(m_ui.printerList->currentIndex());
        if (model && !PrinterModels::allowsTcp(*model, m_state.passThrough)) {
            m_printers.forceSerialMode(model->passThrough ? PrinterSelection::kKeypadModeWarning
                                                          : PrinterSelection::kGeneralModeWarning);
            return;
        }
        m_state.mode = 1;
        m_state.modeOption = 1;
        m_state.ipAddress = link.ipAddress;
        m_state.ipPort = link.ipPort;
        m_store.write(QStringLiteral("Mode"), SettingText::fromInt(m_state.mode));
        m_store.write(QStringLiteral("IPAddress"), m_state.ipAddress);
        m_store.write(QStringLiteral("IPPort"), SettingText::fromInt(m_state.ipPort));
        m_view.setModePanel(LinkDescription::socketMode());
        m_view.setLinkPanel(LinkDescription::socket(m_state));
        return;
    }
    m_state.mode = 0;
    m_state.modeOption = 0;
    m_state.comPort = link.comPort;
    m_state.lineSettings = link.lineSettings;
    m_state.handshaking = link.handshaking;
    m_serial.closePort();
    m_serial.applyPortSettings(m_state.handshaking, m_state.lineSettings, m_state.comPort);
    m_serial.openPort();
    m_view.setModePanel(LinkDescription::serialMode());
    m_view.saveLinkSettings();
}

QStringList SetFileCommands::storedRecent() const {
    return m_store.read(kRecentKey, QString()).split(kRecentSeparator, Qt::SkipEmptyParts);
}

QStringList SetFileCommands::recentSets() const {
    QStringList there;
    for (const QString &path : storedRecent())
        if (QFileInfo(path).isFile())
            there << path;
    return there;
}

void SetFileCommands::remember(const QString &path) {
    // A name with a line break cannot be kept in the list.
    if (path.contains(kRecentSeparator))
        return;
    QStringList recent = recentSets();
    recent.removeAll(path);
    recent.prepend(path);
    m_store.write(kRecentKey, recent.mid(0, kRecentCount).join(kRecentSeparator));
    fillRecentMenu();
}

void SetFileCommands::forget(const QString &path) {
    QStringList recent = storedRecent();
    if (recent.removeAll(path) == 0)
        return;
    m_store.write(kRecentKey, recent.join(kRecentSeparator));
    fillRecentMenu();
}

void SetFileCommands::fillRecentMenu() {
    // Later: the list changes from the triggered handler of one of them.
    for (QAction *old : m_recentMenu.actions()) {
        m_recentMenu.removeAction(old);
        old->deleteLater();
    }
    const QStringList recent = recentSets();
    if (recent.isEmpty()) {
        QAction *none = m_recentMenu.addAction(QStringLiteral("No Recent Sets"));
        none->setObjectName(QStringLiteral("noRecentSetsAction"));
        none->setEnabled(false);
        return;
    }
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        QString name = QFileInfo(path).fileName();
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *action = m_recentMenu.addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        action->setObjectName(QStringLiteral("recentSet%1").arg(i + 1));
        action->setToolTip(QDir::toNativeSeparators(path));
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] { open(path); });
    }
}
