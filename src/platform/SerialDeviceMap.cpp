#include "SerialDeviceMap.h"

#include <QtGlobal>

namespace SerialDeviceMap {

QString devicePath(int portNumber) {
    if (portNumber < 1 || portNumber > kHighestPort)
        return {};
    const QString overridden =
        qEnvironmentVariable(qPrintable(QStringLiteral("ZELDL_COM%1").arg(portNumber)));
    if (!overridden.isEmpty())
        return overridden;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    // 32 numbers per driver family, in the order users meet them.
    static const char *const families[] = {"/dev/ttyS", "/dev/ttyUSB", "/dev/ttyACM",
                                           "/dev/ttyAMA"};
    const int index = portNumber - 1;
    return QString::fromLatin1(families[index / 32]) + QString::number(index % 32);
#endif
}

} // namespace SerialDeviceMap
