#include "DownloadSetPanel.h"

#include "Channels.h"
#include "DownloadSet.h"
#include "DownloadSetRules.h"
#include "EditorControls.h"
#include "EngineView.h"
#include "FileChooser.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "TypedKeyFilter.h"

#include <QComboBox>
#include <QFileInfo>
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
} // namespace

DownloadSetPanel::DownloadSetPanel(QWidget &window, const EditorControls &ui, DownloadSet &set,
                                   EngineView &view, SerialChannel &serial, SocketChannel &socket,
                                   FileChooser &chooser, WindowHooks hooks, QObject *parent)
    : QObject(parent), m_window(window), m_ui(ui), m_set(set), m_view(view), m_serial(serial),
      m_socket(socket), m_chooser(&chooser), m_hooks(std::move(hooks)) {
    connect(m_ui.addAppButton, &QPushButton::clicked, this, &DownloadSetPanel::addApplication);
    connect(m_ui.removeAppButton, &QPushButton::clicked, this,
            &DownloadSetPanel::removeApplication);
    connect(m_ui.addFormatButton, &QPushButton::clicked, this, &DownloadSetPanel::addFormat);
    connect(m_ui.removeFormatButton, &QPushButton::clicked, this, &DownloadSetPanel::removeFormat);
    connect(m_ui.addLookupButton, &QPushButton::clicked, this, &DownloadSetPanel::addLookups);
    connect(m_ui.removeLookupButton, &QPushButton::clicked, this, &DownloadSetPanel::removeLookup);
    connect(m_ui.removeAllButton, &QPushButton::clicked, this, &DownloadSetPanel::removeAll);
    connect(m_ui.upButton, &QPushButton::clicked, this, &DownloadSetPanel::moveLookupUp);
    connect(m_ui.downButton, &QPushButton::clicked, this, &DownloadSetPanel::moveLookupDown);
    connect(m_ui.lookupList, &QListWidget::currentRowChanged, this,
            &DownloadSetPanel::lookupClicked);
    connect(m_ui.lookupList, &QListWidget::itemDoubleClicked, this,
            &DownloadSetPanel::lookupDoubleClicked);
    connect(m_ui.firstLookupList, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_set.setFirstLookup(index); });
    m_ui.lookupList->installEventFilter(this);
    auto *digits = new TypedKeyFilter(
        [](QChar c) {
            return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('\b');
        },
        this);
    digits->watch(m_ui.firstLookupList);
}

void DownloadSetPanel::fillFirstLookupList() {
    const QSignalBlocker blocker(m_ui.firstLookupList);
    m_ui.firstLookupList->clear();
    for (int i = 0; i <= 9; ++i)
        m_ui.firstLookupList->addItem(QString::number(i));
    m_ui.firstLookupList->setCurrentIndex(0);
    m_set.setFirstLookup(0);
}

int DownloadSetPanel::lookupCount() const {
    return m_set.lookupCount();
}

bool DownloadSetPanel::isApplicationChosen() const {
    return m_set.hasApplication();
}

void DownloadSetPanel::showLookups(int current) {
    {
        const QSignalBlocker blocker(m_ui.lookupList);
        m_ui.lookupList->clear();
        for (const DownloadSet::Lookup &lookup : m_set.lookups())
            m_ui.lookupList->addItem(lookup.name);
    }
    if (current >= 0 && current < lookupCount())
        m_ui.lookupList->setCurrentRow(current);
}

void DownloadSetPanel::enableAdd() {
    // A full list keeps "Add..." disabled: one more file could only end in
    // the too-many message, which empties the whole list.
    m_ui.addLookupButton->setEnabled(m_set.hasRoomForLookups());
}

void DownloadSetPanel::setFormatGroupEnabled(bool enabled) {
    m_ui.formatLabel->setEnabled(enabled);
    m_ui.formatFileLabel->setEnabled(enabled);
    m_ui.addFormatButton->setEnabled(enabled);
    m_ui.removeFormatButton->setEnabled(enabled);
}

void DownloadSetPanel::listButtonsForEmptyList() {
    // The first number can change again once the list is empty.
    m_ui.firstLookupList->setEnabled(true);
    for (QPushButton *b :
         {m_ui.removeLookupButton, m_ui.removeAllButton, m_ui.upButton, m_ui.downButton})
        b->setEnabled(false);
}

void DownloadSetPanel::listButtonsForNonEmptyList() {
    enableAdd();
    m_ui.removeLookupButton->setEnabled(true);
    m_ui.removeAllButton->setEnabled(true);
    const bool several = lookupCount() >= 2;
    m_ui.upButton->setEnabled(several);
    m_ui.downButton->setEnabled(several);
    lookupClicked();
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

void DownloadSetPanel::addApplication() {
    const auto files = m_chooser->choose(&m_window, request(applicationFilter(), false));
    if (!files || files->isEmpty())
        return;
    takeApplication(files->first());
}

bool DownloadSetPanel::refusesUnsendable(const QString &path) {
    if (DownloadSetRules::isSendable(path))
        return false;
    QMessageBox box(QMessageBox::Warning, SettingsStore::applicationName(),
                    DownloadSetRules::notSendableText(path), QMessageBox::Ok, &m_window);
    box.exec();
    return true;
}

void DownloadSetPanel::showIfEmpty(const QString &path) {
    const QFileInfo info(path);
    if (info.exists() && info.size() == 0)
        m_view.setStatus(QStringLiteral("The file ") + info.fileName() +
                         QStringLiteral(" is empty"));
}

void DownloadSetPanel::takeApplication(const QString &path) {
    if (refusesUnsendable(path))
        return;
    m_set.setApplication(path);
    m_ui.appFileLabel->setText(m_set.applicationName());
    m_view.setStatus(QString());
    m_hooks.statusCaption();

    if (!m_set.isBundle()) {
        m_ui.formatLabel->setEnabled(true);
        m_ui.formatFileLabel->setEnabled(true);
        m_ui.addFormatButton->setEnabled(true);
        m_ui.removeFormatButton->setEnabled(false);
        if (lookupCount() == 0) {
            m_ui.addLookupButton->setEnabled(true);
            listButtonsForEmptyList();
        } else {
            listButtonsForNonEmptyList();
        }
    } else {
        setFormatGroupEnabled(false);
        if (lookupCount() > 0) {
            QMessageBox box(QMessageBox::NoIcon, SettingsStore::applicationName(), kAllFile,
                            QMessageBox::Ok, &m_window);
            box.exec();
            removeAll();
            m_hooks.statusCaption();
        }
        for (QPushButton *b : {m_ui.addLookupButton, m_ui.removeLookupButton, m_ui.removeAllButton,
                               m_ui.upButton, m_ui.downButton})
            b->setEnabled(false);
    }

    m_view.setDownloadCommandsEnabled(true);
    m_ui.addAppButton->setEnabled(false);
    m_ui.removeAppButton->setEnabled(true);
    showIfEmpty(path);
}

void DownloadSetPanel::removeApplication() {
    m_ui.appFileLabel->clear();
    m_ui.formatFileLabel->clear();
    // The format goes with the application.
    m_set.clearApplication();
    setFormatGroupEnabled(false);

    m_ui.removeAppButton->setEnabled(false);
    m_ui.addAppButton->setEnabled(true);
    if (lookupCount() == 0) {
        m_ui.addLookupButton->setEnabled(true);
        listButtonsForEmptyList();
        m_view.setDownloadCommandsEnabled(false);
    } else {
        listButtonsForNonEmptyList();
    }
    m_view.setStatus(QString());
}

void DownloadSetPanel::addFormat() {
    const auto files = m_chooser->choose(&m_window, request(formatFilter(), false));
    if (!files || files->isEmpty())
        return;
    takeFormat(files->first());
}

void DownloadSetPanel::takeFormat(const QString &path) {
    if (refusesUnsendable(path))
        return;
    const QString title = fileTitle(path);
    m_set.setFormat(path);
    m_ui.formatFileLabel->setText(title);
    if (!isFormatName(title)) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Format File"),
                        title + QStringLiteral("\r\nUse this file for format?"),
                        QMessageBox::Yes | QMessageBox::No, &m_window);
        if (box.exec() != QMessageBox::Yes) {
            m_set.clearFormat();
            m_ui.formatFileLabel->clear();
            return;
        }
    }
    m_view.setDownloadCommandsEnabled(true);
    m_ui.removeFormatButton->setEnabled(true);
    m_ui.addFormatButton->setEnabled(false);
    showIfEmpty(path);
}

void DownloadSetPanel::removeFormat() {
    m_ui.formatFileLabel->clear();
    m_set.clearFormat();
    m_ui.removeFormatButton->setEnabled(false);
    m_ui.addFormatButton->setEnabled(true);
    if (lookupCount() == 0) {
        listButtonsForEmptyList();
        m_view.setDownloadCommandsEnabled(isApplicationChosen());
    } else {
        listButtonsForNonEmptyList();
    }
}

void DownloadSetPanel::addLookups() {
    const auto files = m_chooser->choose(&m_window, request(lookupFilter(), true));
    if (!files || files->isEmpty()) {
        if (lookupCount() == 0)
            m_ui.firstLookupList->setEnabled(true);
        return;
    }
    takeLookups(*files);
}

void DownloadSetPanel::takeLookups(const QStringList &chosen) {
    QStringList paths;
    for (const QString &path : chosen)
        if (!refusesUnsendable(path))
            paths << path;
    if (paths.isEmpty())
        return;
    m_view.setStatus(QString());
    // The first number is frozen while the list holds entries.
    m_ui.firstLookupList->setEnabled(false);
    const DownloadSet::Added added = m_set.addLookups(paths);
    showLookups(lookupCount() - 1);
    if (added == DownloadSet::Added::TooMany) {
        warn(kTooMany);
        removeAll();
        return;
    }
    if (added == DownloadSet::Added::Full) {
        if (paths.size() == 1)
            warn(kMaximum);
        m_ui.addLookupButton->setEnabled(false);
    }
    m_view.setDownloadCommandsEnabled(true);
    m_ui.removeLookupButton->setEnabled(true);
    m_ui.removeAllButton->setEnabled(true);
    m_view.setStatus(kOrder);
}

void DownloadSetPanel::removeLookup() {
    const int current = m_ui.lookupList->currentRow();
    m_set.removeLookup(current);
    showLookups(0);
    m_ui.addLookupButton->setEnabled(true);
    if (lookupCount() == 0) {
        m_ui.firstLookupList->setEnabled(true);
        m_ui.removeLookupButton->setEnabled(false);
        m_ui.removeAllButton->setEnabled(false);
        if (!isApplicationChosen()) {
            m_view.setDownloadCommandsEnabled(false);
            setFormatGroupEnabled(false);
            m_view.setStatus(QString());
        } else {
            m_hooks.statusCaption();
        }
    }
    const bool several = lookupCount() >= 2;
    m_ui.upButton->setEnabled(several);
    m_ui.downButton->setEnabled(several);
}

void DownloadSetPanel::removeAll() {
    m_set.clearLookups();
    showLookups(-1);
    m_ui.addLookupButton->setEnabled(true);
    listButtonsForEmptyList();
    m_view.setStatus(QString());
    if (!isApplicationChosen()) {
        m_view.setDownloadCommandsEnabled(false);
        setFormatGroupEnabled(false);
    } else {
        m_hooks.statusCaption();
    }
    m_serial.closePort();
    m_socket.closeConnection();
}

void DownloadSetPanel::moveLookup(int step) {
    const int row = m_ui.lookupList->currentRow();
    if (m_set.moveLookup(row, step))
        showLookups(row + step);
}

void DownloadSetPanel::moveLookupUp() {
    moveLookup(-1);
}

void DownloadSetPanel::moveLookupDown() {
    moveLookup(+1);
}

void DownloadSetPanel::lookupClicked() {
    const int row = m_ui.lookupList->currentRow();
    m_ui.upButton->setEnabled(true);
    m_ui.downButton->setEnabled(true);
    if (row == 0)
        m_ui.upButton->setEnabled(false);
    if (row >= 0 && row == lookupCount() - 1)
        m_ui.downButton->setEnabled(false);
}

void DownloadSetPanel::lookupDoubleClicked() {
    if (lookupCount() > 0)
        removeLookup();
}

bool DownloadSetPanel::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_ui.lookupList && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        QPushButton *button = nullptr;
        if (mods == Qt::ControlModifier && key->key() == Qt::Key_Up)
            button = m_ui.upButton;
        else if (mods == Qt::ControlModifier && key->key() == Qt::Key_Down)
            button = m_ui.downButton;
        else if (mods == Qt::NoModifier && key->key() == Qt::Key_Delete)
            button = m_ui.removeLookupButton;
        if (button) {
            // The keys act exactly as the buttons would, and only when they could.
            if (button->isEnabled())
                button->click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
