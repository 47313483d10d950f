#include "DryRunLink.h"

#include "EngineView.h"
#include "SharedState.h"

#include <QIODevice>

DryRunLink::DryRunLink(SharedState &state, SerialPortControl &port, EngineView &view,
                       QIODevice &out)
    : SerialLink(state, port, view), m_state(state), m_view(view), m_out(out),
      m_settings(state.lineSettings) {}

void DryRunLink::send(const QByteArray &text) {
    if (m_out.write(text) == text.size())
        return;
    // A full disk must not pass for a complete dry run.
    if (!m_state.downloadError)
        m_view.setStatus(QStringLiteral("Dry run: cannot write: ") + m_out.errorString());
    m_state.downloadError = true;
    m_state.transferFailure = m_view.status();
}

qint16 DryRunLink::receive(QByteArray &reply, qint32, float &) {
    // As a printer numbers its replies: 001 to 999, then round again.
    m_replies = m_replies % 999 + 1;
    reply = "{CP=0,P=" + QByteArray::number(m_replies).rightJustified(3, '0') + ",0}";
    return 0;
}

void DryRunLink::applyPortSettings(int, const QString &settings, int) {
    m_settings = settings;
}
