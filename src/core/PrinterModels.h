#pragma once

#include <QString>
#include <QtGlobal>

#include <span>

namespace Printers {
// Positions in the printer list; the position is what "Printer" stores.
enum : qint16 {
    Q410 = 0,
    Q415 = 1,
    Q417 = 2,
    K72e = 3,
    Q412 = 4,
    T540 = 5,
    R300 = 6,
    T523 = 7,
};
} // namespace Printers

// Line settings a model expects on the serial link, with the name its
// default-settings question uses ("The Communication Setting for the ...").
struct LineDefaults {
    const char *settings = nullptr;
    qint16 handshaking = 1;
    const char *family = nullptr;
    // Offered before a download in TCP/IP mode too, not only on serial.
    bool offeredOnTcp = false;
};

// The packet that ends a download without a sent application, and whether
// "SENDING {S }" is shown for it on each link.
struct ClosingPacket {
    const char *packet = "{Q }";
    bool announceOnSerial = false;
    bool announceOnTcp = false;
};

enum class TcpRule { Refused, PassThroughOnly, Allowed };

// Which sequence function a model runs before and around the application:
// Standard, after "{SR}" on the serial link for a model that asks for status
// first; StatusFirst, after "{SR}" on either link; Immediate, after the
// immediate command and "^SFa"; Keypad, after the pass-through preparation.
enum class Sequence { Standard, StatusFirst, Immediate, Keypad };

// Where "SENDING {SR}" is shown before a status request.
struct StatusAnnounce {
    bool onSerial = false;
    bool onTcp = false;
};

// Everything that differs from one printer model to the next.
struct PrinterModel {
    qint16 index = 0;
    const char *listText = nullptr;
    TcpRule tcp = TcpRule::Refused;
    // Offered before a download, and forced when TCP/IP is refused.
    LineDefaults lineDefaults{};
    // The keypad passing a download through to the printer behind it; it
    // is reset once such a download is over.
    bool passThrough = false;
    // Its lookup slots are cleared ("{C" n "}") before lookups go out.
    bool clearsLookupSlots = false;
    LineDefaults passThroughDefaults{};
    // Shown when the model is chosen in the list.
    const char *choicePrompt = "";
    // The operator's instruction before a download ("" empties the line).
    const char *operatorPrompt = "";
    const char *passThroughSerialPrompt = "";
    const char *passThroughTcpPrompt = "";
    // A serial break stops the download.
    bool breakStops = false;
    bool asksStatusFirst = false;
    StatusAnnounce statusAnnounce{};
    bool lookupsWithoutApplication = false;
    ClosingPacket closing{};
    Sequence sequence = Sequence::Standard;
};

namespace PrinterModels {
std::span<const PrinterModel> all();
// Nothing for a position outside the list.
const PrinterModel *find(int index);
// Whether the model at `index` passes downloads through to a printer.
bool passesThrough(int index);
// The defaults the model is checked against before a download in `mode`
// (0 serial, 1 TCP/IP); nothing when no check applies.
const LineDefaults *defaultsToOffer(const PrinterModel &model, bool passThrough, int mode);
// The instruction for the operator; nothing where the status line is left
// as it is (pass-through on a link that is neither serial nor TCP/IP).
const char *operatorPrompt(const PrinterModel &model, bool passThrough, int mode);
bool allowsTcp(const PrinterModel &model, bool passThrough);
} // namespace PrinterModels
