#pragma once

#include <QList>
#include <QSet>
#include <QString>

namespace testsupport {

// A small generator of its own, so that a seed replays the same day on every
// platform and library (the standard distributions may differ).
class ShopRandom
{
public:
    explicit ShopRandom(quint64 seed) : m_state(seed) {}
    quint64 next();
    int below(int n) { return int(next() % quint64(n)); }
    bool percent(int p) { return below(100) < p; }

private:
    quint64 m_state;
};

// One thing that happens in the shop, to the printer's line, the database or
// the robot, after a pause.
struct ShopEvent
{
    enum class Kind {
        // The administrative system.
        Sale,
        CreditNote,
        Correct,
        Flag, // unflagged while pending, flagged again
        // The operator, through the control socket.
        Anular,
        CierreX,
        CierreZ,
        LoseZ, // its answer lost and the reading after it failed, then asked again
        AbrirGaveta,
        DetenerIniciar,
        Reintentar,
        ReporteMemoria,
        // The printer's line, through the simulator's [faults].
        LoseReply,
        UploadFail,
        RefuseNth,
        Refuse, // every command of a prefix, until Heal
        Refuse7WhenIdle,
        RefuseForever, // a line of a new document, until the day settles
        Kill,
        Heal,
        // The database.
        DatabaseAway,
        DatabaseLocked,
        DatabaseAwayAtStart, // while the robot starts
        JournalLost,         // with the robot stopped or killed at a closing
        KeypadInvoice,       // issued at the printer's keypad while the robot is idle
        // The robot.
        Restart,
        RestartThenCierreZ, // stopped, or killed at an invoice's closing; cierre-z at once
    };
    Kind kind = Kind::Sale;
    int pauseMs = 0;            // as at Scale 1; the robot's Scale applies
    quint64 detail = 0;         // seeds what the event does: its rows, its target, its N
    bool whilePrinting = false; // once the robot starts a document, on that one
};

// The day's events, made up front from the seed.
class ShopDayPlan
{
public:
    using Kind = ShopEvent::Kind;

    // Every kind of event, or those SHOPDAY_KINDS=name,name names.
    static QSet<Kind> kindsFromEnvironment();
    static QSet<Kind> defaultKinds();
    static QString name(Kind kind);

    ShopDayPlan(quint64 seed, const QSet<Kind> &kinds, int length);

    quint64 seed() const { return m_seed; }
    const QList<ShopEvent> &events() const { return m_events; }

private:
    quint64 m_seed;
    QList<ShopEvent> m_events;
};

} // namespace testsupport
