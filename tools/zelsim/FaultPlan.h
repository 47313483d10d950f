#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace zelsim {

// One misbehaviour, aimed at answered packets number `first` to `last` of a
// session (1-based, "{SR}" included); `refuse` counts TCP connections instead.
struct Fault {
    enum class Kind { Silent, Delay, PacketError, Cp4, Short, Long, Garbage, Drop, Hangup, Refuse };
    static constexpr int Unbounded = -1;

    Kind kind = Kind::Silent;
    int first = 1;
    int last = Unbounded;
    int value = 0; // delay in ms, or the number of garbage bytes

    bool appliesTo(int number) const;

    // "KIND[@N[+]][=VALUE]": no "@" aims at every packet, "@N" at the N-th only,
    // "@N+" at the N-th and all after it.
    static std::optional<Fault> parse(const QString &faultText, QString *error);
    static QString name(Kind kind);
    static QString helpText();
};

// What the printer does with one answered packet once the faults are applied.
struct ReplyAction {
    enum class Shape { Normal, Short, Long, Garbage };

    bool silent = false;
    int delayMs = 0;
    bool packetError = false;
    bool cp4 = false;
    Shape shape = Shape::Normal;
    int garbageBytes = 0;
    bool drop = false;
    bool hangup = false;
};

class FaultPlan {
public:
    void add(const Fault &fault) { m_faults.append(fault); }
    bool isEmpty() const { return m_faults.isEmpty(); }
    const QList<Fault> &faults() const { return m_faults; }

    ReplyAction actionFor(int packetNumber) const;
    bool refusesConnection(int connectionNumber) const;

private:
    QList<Fault> m_faults;
};

} // namespace zelsim
