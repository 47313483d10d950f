#pragma once

#include "FileTransfer.h"
#include "LinkRig.h"

#include <QTemporaryDir>

#include <memory>

// The link rig with the real application transfer on it, and a folder of
// files made fresh for every case.
class TransferRig : public LinkRig {
protected:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FileTransfer> m_transfer;

    void resetTransfer() {
        m_dir = std::make_unique<QTemporaryDir>();
        resetLinks();
        m_transfer =
            std::make_unique<FileTransfer>(*m_state, *m_store, *m_view, *m_serial, *m_socket);
    }

    // The path of `name` in the case's folder, written with `bytes`; empty
    // when it could not be written.
    QString makeFile(const QString &name, const QByteArray &bytes) {
        const QString path = m_dir->filePath(name);
        return TestFiles::write(path, bytes) ? path : QString();
    }

    // The application chosen, as the editor leaves it.
    QString appFile(const QByteArray &bytes) {
        const QString path = makeFile(QStringLiteral("app.fpc"), bytes);
        if (path.isEmpty())
            return {};
        m_state->appPath = path;
        m_state->appTitle = QStringLiteral("app.fpc");
        return path;
    }
};
