#include "QtFileChooser.h"

#include "FileFilter.h"

#include <QFileDialog>

std::optional<QStringList> QtFileChooser::choose(QWidget *parent, const FileRequest &request) {
    QFileDialog dialog(parent, request.title, m_lastFolder);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A name typed into the box must name a file that is there: a missing
    // file would only fail later, in the middle of a download.
    dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    // The descriptions already name their patterns.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = FileFilter::toNameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    m_lastFolder = dialog.directory().absolutePath();
    return files;
}
