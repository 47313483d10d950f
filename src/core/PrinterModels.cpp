#include "PrinterModels.h"

#include <iterator>

namespace {
constexpr const char *kTransferPrompt = "Set Printer to Data Transfer/Receive";
constexpr const char *kReadyPrompt = "Set Printer to Ready";
constexpr const char *kPrintModePrompt = "Set Printer to Print Mode Ready";
constexpr const char *kKeypadPrompt = "Set Keypad to Loading Script";
constexpr LineDefaults kQ41x{"9600,o,7,1", 1, "Q410/15/17", true};
constexpr ClosingPacket kQuit{"{Q }", false, false};
constexpr ClosingPacket kSilentStop{"{S }", false, false};

// The Q410, Q415 and Q417 differ in their names and in what a serial break does.
constexpr PrinterModel q41x(qint16 index, const char *text, bool breakStops) {
    return {.index = index,
            .listText = text,
            .lineDefaults = kQ41x,
            .choicePrompt = kTransferPrompt,
            .operatorPrompt = kTransferPrompt,
            .breakStops = breakStops,
            .lookupsWithoutApplication = true,
            .closing = kQuit,
            .sequence = Sequence::Standard};
}

constexpr PrinterModel kModels[] = {
    q41x(Printers::Q410, "Q410", true),
    q41x(Printers::Q415, "Q415 ZEL Interp", true),
    q41x(Printers::Q417, "Q417 ZEL Interp", false),
    {.index = Printers::K72e,
     .listText = "K72e",
     .tcp = TcpRule::PassThroughOnly,
     .lineDefaults = {"19200,n,8,1", 2, "K72e", true},
     .passThrough = true,
     .clearsLookupSlots = true,
     .passThroughDefaults = {"9600,n,8,1", 1, "R3xx", false},
     .choicePrompt = kKeypadPrompt,
     .operatorPrompt = kKeypadPrompt,
     .passThroughSerialPrompt = kPrintModePrompt,
     .passThroughTcpPrompt = "Set Printer to N Print Mode Ready",
     .lookupsWithoutApplication = true,
     .closing = {"{S }", true, true},
     .sequence = Sequence::Keypad},
    {.index = Printers::Q412,
     .listText = "Q412",
     .lineDefaults = {"9600,n,8,1", 1, "Q412", true},
     .choicePrompt = "Set Printer to Online",
     .operatorPrompt = "Set Printer to Online",
     .asksStatusFirst = true,
     .lookupsWithoutApplication = true,
     .closing = {"{S }", true, false},
     .sequence = Sequence::Standard},
    {.index = Printers::T540,
     .listText = "T540 ZEL Interp",
     .tcp = TcpRule::Allowed,
     .lineDefaults = {"9600,n,8,1", 1, "T540", false},
     .choicePrompt = kReadyPrompt,
     .operatorPrompt = kReadyPrompt,
     .asksStatusFirst = true,
     .statusAnnounce = {.onTcp = true},
     .closing = kSilentStop,
     .sequence = Sequence::StatusFirst},
    {.index = Printers::R300,
     .listText = "R300 ZEL Interp",
     .tcp = TcpRule::Allowed,
     .lineDefaults = {"9600,n,8,1", 1, "R3xx", false},
     .choicePrompt = kPrintModePrompt,
     .operatorPrompt = kPrintModePrompt,
     .closing = kQuit,
     .sequence = Sequence::Immediate},
    // Its operator prompt empties the status line, unlike its choice prompt.
    {.index = Printers::T523,
     .listText = "T523 ZEL Interp",
     .tcp = TcpRule::Allowed,
     .lineDefaults = {"9600,n,8,1", 1, "T523", false},
     .choicePrompt = kReadyPrompt,
     .operatorPrompt = "",
     .asksStatusFirst = true,
     .statusAnnounce = {.onSerial = true},
     .closing = kSilentStop,
     .sequence = Sequence::StatusFirst},
};
} // namespace

namespace PrinterModels {

std::span<const PrinterModel> all() {
    return kModels;
}

const PrinterModel *find(int index) {
    if (index < 0 || index >= int(std::size(kModels)))
        return nullptr;
    return &kModels[index];
}

bool passesThrough(int index) {
    const PrinterModel *model = find(index);
    return model && model->passThrough;
}

const LineDefaults *defaultsToOffer(const PrinterModel &model, bool passThrough, int mode) {
    const LineDefaults &d =
        model.passThrough && passThrough ? model.passThroughDefaults : model.lineDefaults;
    return mode == 0 || d.offeredOnTcp ? &d : nullptr;
}

const char *operatorPrompt(const PrinterModel &model, bool passThrough, int mode) {
    if (!model.passThrough || !passThrough)
        return model.operatorPrompt;
    if (mode == 0)
        return model.passThroughSerialPrompt;
    if (mode == 1)
        return model.passThroughTcpPrompt;
    return nullptr;
}

bool allowsTcp(const PrinterModel &model, bool passThrough) {
    return model.tcp == TcpRule::Allowed || (model.tcp == TcpRule::PassThroughOnly && passThrough);
}

} // namespace PrinterModels
