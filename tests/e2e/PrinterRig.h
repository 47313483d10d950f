#pragma once

#include "Clock.h"
#include "WindowRig.h"
#include "ZelsimProcess.h"

#include <QStringList>

#include <memory>

// The window rig with the virtual printer as a separate process.
class PrinterRig : public WindowRig {
protected:
    std::unique_ptr<ZelsimProcess> m_printer;

    // A case may have slowed the clock; the next starts fast again.
    void resetPrinterRig() {
        resetWindowRig();
        Clock::setScale(0.01);
    }
    void closePrinterRig() {
        closeWindowRig();
        m_printer.reset();
    }
    // The printer started with the given extra options, on Com1.
    bool plugPrinter(const QStringList &faults = {}) {
        m_printer = std::make_unique<ZelsimProcess>();
        if (!m_printer->start(faults))
            return false;
        qputenv("ZELDL_COM1", m_printer->serialPath().toLocal8Bit());
        return true;
    }
};
