#include "DownloadSetPanel.h"

#include "Channels.h"
#include "DownloadSetRules.h"
#include "EditorControls.h"
#include "EngineView.h"
#include "FileChooser.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "TypedKeyFilter.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

using namespace DownloadSetRules;

namespace {
const QString kTooMany = QStringLiteral(
    "Too Many Lookup Files! You can have a maximum of 10 lookup tables in a configuration.");
const QString kMaximum =
    QStringLiteral("You can have a maximum of 10 lookup tables in a configuration.");
const QString kAllFile = QStringLiteral(
    "You are sending an ALL File. Lookup Files should already be included in this file");
const QString kOrder = QStringLiteral("Lookups are sent in the order they were placed in the "
                                      "list. Please make sure you select them in the order they "
                                      "were defined.");

void moveRow(QListWidget &list, int from, int to) {
    QListWidgetItem *item = list.takeItem(from);
    list.insertItem(to, item);
}
} // namespace

DownloadSetPanel::DownloadSetPanel(QWidget &window, const EditorControls &ui, SharedState &state,
                                   EngineView &view, SerialChannel &serial, SocketChannel &socket,
                                   FileChooser &chooser, WindowHooks hooks, QObject *parent)
    : QObject(parent), m_window(window), m_ui(ui), m_state(state), m_view(view), m_serial(serial),
      m_socket(socket), m_chooser(&chooser), m_hooks(std::move(hooks)) {
    connect(m_ui.cmdZELApp, &QPushButton::clicked, this, &DownloadSetPanel::cmdZELApp_Click);
    connect(m_ui.cmdZELRemove, &QPushButton::clicked, this, &DownloadSetPanel::cmdZELRemove_Click);
    connect(m_ui.cmdAddFmt, &QPushButton::clicked, this, &DownloadSetPanel::cmdAddFmt_Click);
    connect(m_ui.cmdRemoveFmt, &QPushButton::clicked, this, &DownloadSetPanel::cmdRemoveFmt_Click);
    connect(m_ui.cmdAdd, &QPushButton::clicked, this, &DownloadSetPanel::cmdAdd_Click);
    connect(m_ui.cmdRemove, &QPushButton::clicked, this, &DownloadSetPanel::cmdRemove_Click);
    connect(m_ui.cmdClear, &QPushButton::clicked, this, &DownloadSetPanel::cmdClear_Click);
    connect(m_ui.cmdUp, &QPushButton::clicked, this, &DownloadSetPanel::cmdUp_Click);
    connect(m_ui.cmdDown, &QPushButton::clicked, this, &DownloadSetPanel::cmdDown_Click);
    connect(m_ui.lstLookups, &QListWidget::currentRowChanged, this,
            &DownloadSetPanel::lstLookups_Click);
    connect(m_ui.lstLookups, &QListWidget::itemDoubleClicked, this,
            &DownloadSetPanel::lstLookups_DblClick);
    connect(m_ui.cboLUStart, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_state.mintFirstLookup = qint16(std::max(0, index)); });
    m_ui.lstLookups->installEventFilter(this);
    auto *digits = new TypedKeyFilter(
        [](QChar c) {
            return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('\b');
        },
        this);
    digits->watch(m_ui.cboLUStart);
}

void DownloadSetPanel::fillFirstLookupList() {
    const QSignalBlocker blocker(m_ui.cboLUStart);
    m_ui.cboLUStart->clear();
    for (int i = 0; i <= 9; ++i)
        m_ui.cboLUStart->addItem(QString::number(i));
    m_ui.cboLUStart->setCurrentIndex(0);
    m_state.mintFirstLookup = 0;
}

int DownloadSetPanel::lookupCount() const {
    return m_ui.lstLookups->count();
}

bool DownloadSetPanel::isApplicationChosen() const {
    return !m_ui.lblZELAppFilename->text().isEmpty();
}

bool DownloadSetPanel::hasRoomForLookups() const {
    return std::max(0, m_ui.cboLUStart->currentIndex()) + lookupCount() < kMaxLookups;
}

void DownloadSetPanel::enableAdd() {
    // A full list keeps "Add..." disabled: one more file could only end in
    // the too-many message, which empties the whole list.
    m_ui.cmdAdd->setEnabled(hasRoomForLookups());
}

void DownloadSetPanel::setFormatGroupEnabled(bool enabled) {
    m_ui.Label4->setEnabled(enabled);
    m_ui.lblFormat->setEnabled(enabled);
    m_ui.cmdAddFmt->setEnabled(enabled);
    m_ui.cmdRemoveFmt->setEnabled(enabled);
}

void DownloadSetPanel::listButtonsForEmptyList() {
    // The first number can change again once the list is empty.
    m_ui.cboLUStart->setEnabled(true);
    for (QPushButton *b : {m_ui.cmdRemove, m_ui.cmdClear, m_ui.cmdUp, m_ui.cmdDown})
        b->setEnabled(false);
}

void DownloadSetPanel::listButtonsForNonEmptyList() {
    enableAdd();
    m_ui.cmdRemove->setEnabled(true);
    m_ui.cmdClear->setEnabled(true);
    const bool several = lookupCount() >= 2;
    m_ui.cmdUp->setEnabled(several);
    m_ui.cmdDown->setEnabled(several);
    lstLookups_Click();
}

void DownloadSetPanel::warn(const QString &text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Lookups"), text, QMessageBox::Ok,
                    &m_window);
    box.exec();
}

FileRequest DownloadSetPanel::request(const QString &filter, bool multiple) const {
    FileRequest r;
    r.title = QStringLiteral("File Open");
    r.filter = filter;
    r.filterIndex = 1;
    r.multiple = multiple;
    return r;
}

void DownloadSetPanel::cmdZELApp_Click() {
    const auto files = m_chooser->choose(&m_window, request(applicationFilter(), false));
    if (!files || files->isEmpty())
        return;
    takeApplication(files->first());
}

void DownloadSetPanel::takeApplication(const QString &path) {
    const QString title = fileTitle(path);
    m_state.mstrZELFileName = path;
    m_state.mstrZELFileTitle = title;
    m_ui.lblZELAppFilename->setText(title);
    m_view.setStatus(QString());
    m_hooks.statusCaption();

    if (!isAllFile(title)) {
        m_state.gblnAllFile = false;
        m_ui.Label4->setEnabled(true);
        m_ui.lblFormat->setEnabled(true);
        m_ui.cmdAddFmt->setEnabled(true);
        m_ui.cmdRemoveFmt->setEnabled(false);
        if (lookupCount() == 0) {
            m_ui.cmdAdd->setEnabled(true);
            listButtonsForEmptyList();
        } else {
            listButtonsForNonEmptyList();
        }
    } else {
        m_state.gblnAllFile = true;
        setFormatGroupEnabled(false);
        if (lookupCount() > 0) {
            QMessageBox box(QMessageBox::NoIcon, SettingsStore::applicationName(), kAllFile,
                            QMessageBox::Ok, &m_window);
            box.exec();
            cmdClear_Click();
            m_hooks.statusCaption();
        }
        for (QPushButton *b :
             {m_ui.cmdAdd, m_ui.cmdRemove, m_ui.cmdClear, m_ui.cmdUp, m_ui.cmdDown})
            b->setEnabled(false);
    }

    m_view.setDownloadCommandsEnabled(true);
    m_ui.cmdZELApp->setEnabled(false);
    m_ui.cmdZELRemove->setEnabled(true);
    m_state.gintLookupCount = 0;
}

void DownloadSetPanel::cmdZELRemove_Click() {
    m_ui.lblZELAppFilename->clear();
    m_ui.lblFormat->clear();
    m_state.mstrFormatFileName.clear();
    m_state.mstrFormatFileTitle.clear();
    m_state.mstrZELFileName.clear();
    m_state.mstrZELFileTitle.clear();
    m_state.gblnAllFile = false;
    // The format goes with the application.
    setFormatGroupEnabled(false);

    m_ui.cmdZELRemove->setEnabled(false);
    m_ui.cmdZELApp->setEnabled(true);
    m_state.gintLookupCount = 0;
    if (lookupCount() == 0) {
        m_ui.cmdAdd->setEnabled(true);
        listButtonsForEmptyList();
        m_view.setDownloadCommandsEnabled(false);
    } else {
        listButtonsForNonEmptyList();
    }
    m_view.setStatus(QString());
}

void DownloadSetPanel::cmdAddFmt_Click() {
    const auto files = m_chooser->choose(&m_window, request(formatFilter(), false));
    if (!files || files->isEmpty())
        return;
    takeFormat(files->first());
}

void DownloadSetPanel::takeFormat(const QString &path) {
    const QString title = fileTitle(path);
    m_state.mstrFormatFileName = path;
    m_state.mstrFormatFileTitle = title;
    m_ui.lblFormat->setText(title);
    if (!isFormatName(title)) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Format File"),
                        title + QStringLiteral("\r\nUse this file for format?"),
                        QMessageBox::Yes | QMessageBox::No, &m_window);
        if (box.exec() != QMessageBox::Yes) {
            m_state.mstrFormatFileName.clear();
            m_state.mstrFormatFileTitle.clear();
            m_ui.lblFormat->clear();
            return;
        }
    }
    m_view.setDownloadCommandsEnabled(true);
    m_ui.cmdRemoveFmt->setEnabled(true);
    m_ui.cmdAddFmt->setEnabled(false);
}

void DownloadSetPanel::cmdRemoveFmt_Click() {
    m_ui.lblFormat->clear();
    m_state.mstrFormatFileName.clear();
    m_state.mstrFormatFileTitle.clear();
    m_ui.cmdRemoveFmt->setEnabled(false);
    m_ui.cmdAddFmt->setEnabled(true);
    if (lookupCount() == 0) {
        listButtonsForEmptyList();
        m_view.setDownloadCommandsEnabled(isApplicationChosen());
    } else {
        listButtonsForNonEmptyList();
    }
}

void DownloadSetPanel::cmdAdd_Click() {
    const auto files = m_chooser->choose(&m_window, request(lookupFilter(), true));
    if (!files || files->isEmpty()) {
        if (lookupCount() == 0)
            m_ui.cboLUStart->setEnabled(true);
        return;
    }
    takeLookups(*files);
}

void DownloadSetPanel::takeLookups(const QStringList &paths) {
    if (paths.isEmpty())
        return;
    m_view.setStatus(QString());
    // The first number is frozen while the list holds entries.
    m_ui.cboLUStart->setEnabled(false);
    for (const QString &path : paths) {
        m_ui.lstLookups->addItem(fileTitle(path));
        m_ui.lstPaths->addItem(path);
        const int last = lookupCount() - 1;
        m_ui.lstPaths->setCurrentRow(last);
        m_ui.lstLookups->setCurrentRow(last);
    }

    const int n = std::max(0, m_ui.cboLUStart->currentIndex()) + lookupCount();
    if (n > kMaxLookups) {
        warn(kTooMany);
        cmdClear_Click();
        return;
    }
    if (n == kMaxLookups) {
        if (paths.size() == 1)
            warn(kMaximum);
        m_ui.cmdAdd->setEnabled(false);
    }
    m_view.setDownloadCommandsEnabled(true);
    m_ui.cmdRemove->setEnabled(true);
    m_ui.cmdClear->setEnabled(true);
    m_view.setStatus(kOrder);
}

void DownloadSetPanel::cmdRemove_Click() {
    const int current = m_ui.lstLookups->currentRow();
    if (lookupCount() > 0 && current >= 0) {
        delete m_ui.lstLookups->takeItem(current);
        delete m_ui.lstPaths->takeItem(current);
    }
    if (lookupCount() > 0) {
        m_ui.lstPaths->setCurrentRow(0);
        m_ui.lstLookups->setCurrentRow(0);
    }
    m_ui.cmdAdd->setEnabled(true);
    if (lookupCount() == 0) {
        m_ui.cboLUStart->setEnabled(true);
        m_ui.cmdRemove->setEnabled(false);
        m_ui.cmdClear->setEnabled(false);
        if (!isApplicationChosen()) {
            m_view.setDownloadCommandsEnabled(false);
            setFormatGroupEnabled(false);
            m_view.setStatus(QString());
        } else {
            m_hooks.statusCaption();
        }
    }
    const bool several = lookupCount() >= 2;
    m_ui.cmdUp->setEnabled(several);
    m_ui.cmdDown->setEnabled(several);
}

void DownloadSetPanel::cmdClear_Click() {
    m_ui.lstLookups->clear();
    m_ui.lstPaths->clear();
    m_ui.cmdAdd->setEnabled(true);
    listButtonsForEmptyList();
    m_state.gintLookupCount = 0;
    m_view.setStatus(QString());
    if (!isApplicationChosen()) {
        m_view.setDownloadCommandsEnabled(false);
        setFormatGroupEnabled(false);
    } else {
        m_hooks.statusCaption();
    }
    m_serial.ClosePort();
    m_socket.SockClose();
}

qint16 DownloadSetPanel::cmdMoveUp_Click(QListWidget &lstMove1, QListWidget &lstMove2) {
    const int i = lstMove1.currentRow();
    if (i > 0 && i < lstMove1.count() && i < lstMove2.count()) {
        moveRow(lstMove1, i, i - 1);
        moveRow(lstMove2, i, i - 1);
        lstMove2.setCurrentRow(i - 1);
        lstMove1.setCurrentRow(i - 1);
    }
    return 0;
}

qint16 DownloadSetPanel::cmdMoveDown_Click(QListWidget &lstMove1, QListWidget &lstMove2) {
    const int i = lstMove1.currentRow();
    if (i >= 0 && i < lstMove1.count() - 1 && i < lstMove2.count() - 1) {
        moveRow(lstMove1, i, i + 1);
        moveRow(lstMove2, i, i + 1);
        lstMove2.setCurrentRow(i + 1);
        lstMove1.setCurrentRow(i + 1);
    }
    return 0;
}

void DownloadSetPanel::cmdUp_Click() {
    const int before = m_ui.lstLookups->currentRow();
    cmdMoveUp_Click(*m_ui.lstLookups, *m_ui.lstPaths);
    // Qt may signal the selection change before the entry reaches its new
    // place, so the rule runs again once it is there.
    if (m_ui.lstLookups->currentRow() != before)
        lstLookups_Click();
}

void DownloadSetPanel::cmdDown_Click() {
    const int before = m_ui.lstLookups->currentRow();
    cmdMoveDown_Click(*m_ui.lstLookups, *m_ui.lstPaths);
    if (m_ui.lstLookups->currentRow() != before)
        lstLookups_Click();
}

void DownloadSetPanel::lstLookups_Click() {
    const int row = m_ui.lstLookups->currentRow();
    m_ui.lstPaths->setCurrentRow(row);
    m_ui.cmdUp->setEnabled(true);
    m_ui.cmdDown->setEnabled(true);
    if (row == 0)
        m_ui.cmdUp->setEnabled(false);
    if (row >= 0 && row == lookupCount() - 1)
        m_ui.cmdDown->setEnabled(false);
}

void DownloadSetPanel::lstLookups_DblClick() {
    if (lookupCount() > 0)
        cmdRemove_Click();
}

bool DownloadSetPanel::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_ui.lstLookups && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        QPushButton *button = nullptr;
        if (mods == Qt::ControlModifier && key->key() == Qt::Key_Up)
            button = m_ui.cmdUp;
        else if (mods == Qt::ControlModifier && key->key() == Qt::Key_Down)
            button = m_ui.cmdDown;
        else if (mods == Qt::NoModifier && key->key() == Qt::Key_Delete)
            button = m_ui.cmdRemove;
        if (button) {
            // The keys act exactly as the buttons would, and only when they could.
            if (button->isEnabled())
                button->click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
