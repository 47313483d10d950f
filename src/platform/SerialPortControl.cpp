#include "SerialPortControl.h"

#include "SerialDeviceMap.h"
#include "SerialNative.h"

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {
// Reads of what the driver holds before the rest is flushed instead.
constexpr int kMaxDrainReads = 16;
} // namespace

SerialPortControl::SerialPortControl(QObject *parent) : QObject(parent) {
    connect(&m_monitor, &LineEventMonitor::lineEvent, this, &SerialPortControl::commEvent);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialPortControl::onPortError);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialPortControl::dataReceived);
}

SerialPortControl::~SerialPortControl() {
    close();
}

bool SerialPortControl::setCommPort(int portNumber) {
    if (portNumber < 1 || portNumber > SerialDeviceMap::kHighestPort)
        return false;
    m_portNumber = portNumber;
    return true;
}

bool SerialPortControl::setSettings(const QString &text) {
    const auto parsed = LineSettings::parse(text);
    if (!parsed)
        return false;
    m_settingsText = text;
    m_line = *parsed;
    if (isOpen())
        applyLineSettings();
    return true;
}

bool SerialPortControl::setHandshaking(int code) {
    if (code < 0 || code > 3)
        return false;
    m_handshaking = code;
    if (isOpen())
        applyLineSettings();
    return true;
}

void SerialPortControl::setRTSEnable(bool enable) {
    m_rtsEnable = enable;
    if (isOpen() && m_handshaking < 2)
        m_port.setRequestToSend(enable);
}

QString SerialPortControl::devicePath() const {
    return SerialDeviceMap::devicePath(m_portNumber);
}

void SerialPortControl::applyLineSettings() {
    m_port.setBaudRate(m_line.baud);
    switch (m_line.parity) {
    case 'E':
        m_port.setParity(QSerialPort::EvenParity);
        break;
    case 'O':
        m_port.setParity(QSerialPort::OddParity);
        break;
    case 'M':
        m_port.setParity(QSerialPort::MarkParity);
        break;
    case 'S':
        m_port.setParity(QSerialPort::SpaceParity);
        break;
    default:
        m_port.setParity(QSerialPort::NoParity);
        break;
    }
    m_port.setDataBits(m_line.dataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8);
    m_port.setStopBits(m_line.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    // Qt knows one flow control at a time and adds restart-on-any-character
    // to Xon/Xoff; the native step sets the flags the code asks for.
    m_port.setFlowControl(m_handshaking >= 2   ? QSerialPort::HardwareControl
                          : m_handshaking == 1 ? QSerialPort::SoftwareControl
                                               : QSerialPort::NoFlowControl);
    if (isOpen())
        SerialNative::applyFlowControl(int(m_port.handle()), m_handshaking);
}

int SerialPortControl::open() {
    if (isOpen())
        return SerialNative::PortAlreadyOpen;
    const QString path = devicePath();
    if (path.isEmpty())
        return SerialNative::InvalidPort;

    const SerialNative::Probe probe = SerialNative::probeAndLock(path);
    if (probe.error != SerialNative::NoError)
        return probe.error;

    m_port.setPortName(path);
    applyLineSettings();
    if (!m_port.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError cause = m_port.error();
        SerialNative::releaseLock(probe.lockHandle);
        m_port.clearError();
        switch (cause) {
        case QSerialPort::DeviceNotFoundError:
            return SerialNative::InvalidPort;
        case QSerialPort::PermissionError:
            // The device itself let us in, so this is Qt's lock file held
            // by another program.
            return SerialNative::PortAlreadyOpen;
        default:
            return SerialNative::DeviceAlreadyOpen;
        }
    }
    m_lockHandle = probe.lockHandle;
    SerialNative::applyFlowControl(int(m_port.handle()), m_handshaking);
    if (m_handshaking < 2)
        m_port.setRequestToSend(m_rtsEnable);
    m_monitor.start(std::make_unique<DriverCounterSource>(int(m_port.handle())));
    return SerialNative::NoError;
}

void SerialPortControl::close() {
    m_monitor.stop();
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
    SerialNative::releaseLock(m_lockHandle);
    m_lockHandle = -1;
}

qint64 SerialPortControl::inBufferCount() const {
    return isOpen() ? m_port.bytesAvailable() : 0;
}

QByteArray SerialPortControl::input() {
    return isOpen() ? m_port.readAll() : QByteArray();
}

void SerialPortControl::waitForInput(int ms) {
    // Qt marks a wait that ran out as a time-out error; not a fault here.
    if (ms > 0 && isOpen() && !m_port.waitForReadyRead(ms) &&
        m_port.error() == QSerialPort::TimeoutError)
        m_port.clearError();
}

QByteArray SerialPortControl::discardInput() {
    if (!isOpen())
        return {};
    QByteArray dropped = m_port.readAll();
#ifdef Q_OS_UNIX
    // What the driver holds is counted and read, not flushed: a flush, like
    // a read that finds nothing, waits for the terminal's input work to
    // settle (a sleep and a wake-up for every packet on a fast line), and
    // would lose bytes the trace should show.
    const int fd = int(m_port.handle());
    char buffer[4096];
    for (int round = 0; round < kMaxDrainReads; ++round) {
        int held = 0;
        if (::ioctl(fd, FIONREAD, &held) != 0 || held <= 0)
            return dropped;
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, size_t(held)));
        // A fault is the port's to report, in its own time.
        if (n <= 0)
            return dropped;
        dropped.append(buffer, qsizetype(n));
    }
#endif
    // A line that never stops talking: the driver drops the rest.
    m_port.clear(QSerialPort::Input);
    return dropped;
}

void SerialPortControl::output(const QByteArray &bytes) {
    if (!isOpen() || bytes.isEmpty())
        return;
    m_port.write(bytes);
    // Hand the bytes to the driver now rather than on the next event-loop
    // round; what the driver does not take yet still goes out from the loop.
    m_port.flush();
}

qint64 SerialPortControl::bytesToWrite() const {
    return isOpen() ? m_port.bytesToWrite() : 0;
}

void SerialPortControl::onPortError(QSerialPort::SerialPortError error) {
    // When the device vanishes Qt keeps the port "open" and repeats the
    // error endlessly on a spinning core: close on the first one.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
        error == QSerialPort::WriteError) {
        if (!isOpen())
            return;
        close();
        Q_EMIT portLost();
    }
}

QString SerialPortControl::errorDescription(int errorNumber) {
    switch (errorNumber) {
    case SerialNative::InvalidPort:
        return QStringLiteral("Invalid port number");
    case SerialNative::PortAlreadyOpen:
        return QStringLiteral("Port already open");
    case SerialNative::DeviceNotOpen:
        return QStringLiteral("The device is not open");
    case SerialNative::DeviceAlreadyOpen:
        return QStringLiteral("The device is already open");
    default:
        return QStringLiteral("Unexpected error");
    }
}
