// Reading stored setting texts, which a hand edit can make anything.
//
// The input is read as UTF-8 and again as Latin-1. Properties:
// - toInt16 and toInt32 agree: toInt16 gives the value toInt32 gives when it
//   lies in -32768..32767 and nothing otherwise; a value read writes back
//   (fromInt) to a text that reads as the same value;
// - toSingle gives only finite values, which write back (fromSingle) to a text
//   that reads as the same value;
// - whatever toInt32 or toSingle reads, toBool reads too, and true when
//   toInt32 read a value other than 0;
// - LineSettings::parse accepts only texts of four comma-separated fields and
//   gives a baud rate above 0, parity N E O M or S, data bits 7 or 8 and stop
//   bits 1 or 2; its fields written back as "baud,parity,data,stop" parse to
//   the same settings.
#include "FuzzCheck.h"
#include "LineSettings.h"
#include "SettingsStore.h"

#include <cmath>
#include <cstdint>
#include <limits>

using namespace SettingText;

namespace {

void checkNumbers(const QString &text) {
    const std::optional<qint16> small = toInt16(text);
    const std::optional<qint32> whole = toInt32(text);
    const std::optional<float> real = toSingle(text);
    const std::optional<bool> flag = toBool(text);

    if (whole) {
        const bool fits = *whole >= std::numeric_limits<qint16>::min() &&
                          *whole <= std::numeric_limits<qint16>::max();
        FUZZ_CHECK(fits ? small == qint16(*whole) : !small);
        FUZZ_CHECK(toInt32(fromInt(*whole)) == whole);
        FUZZ_CHECK(flag && (*whole == 0 || *flag));
    } else {
        FUZZ_CHECK(!small);
    }
    if (small)
        FUZZ_CHECK(toInt16(fromInt(*small)) == small);
    if (real) {
        FUZZ_CHECK(std::isfinite(*real));
        FUZZ_CHECK(toSingle(fromSingle(*real)) == real);
        FUZZ_CHECK(flag.has_value());
    }
    if (flag)
        FUZZ_CHECK(toBool(fromBool(*flag)) == flag);
}

void checkLineSettings(const QString &text) {
    const std::optional<LineSettings> settings = LineSettings::parse(text);
    if (!settings)
        return;
    FUZZ_CHECK(text.count(QLatin1Char(',')) == 3);
    FUZZ_CHECK(settings->baud > 0);
    FUZZ_CHECK(settings->parity != 0 && QByteArrayView("NEOMS").contains(settings->parity));
    FUZZ_CHECK(settings->dataBits == 7 || settings->dataBits == 8);
    FUZZ_CHECK(settings->stopBits == 1 || settings->stopBits == 2);

    const QString written = QStringLiteral("%1,%2,%3,%4")
                                .arg(settings->baud)
                                .arg(QLatin1Char(settings->parity))
                                .arg(settings->dataBits)
                                .arg(settings->stopBits);
    const std::optional<LineSettings> again = LineSettings::parse(written);
    FUZZ_CHECK(again && again->baud == settings->baud && again->parity == settings->parity &&
               again->dataBits == settings->dataBits && again->stopBits == settings->stopBits);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QString &text : {QString::fromUtf8(bytes), QString::fromLatin1(bytes)}) {
        checkNumbers(text);
        checkLineSettings(text);
    }
    return 0;
}
