#include "support/ShopDayPlan.h"

#include <QMap>

namespace testsupport {

namespace {

using Kind = ShopEvent::Kind;

// Each kind's name in the day's log and in SHOPDAY_KINDS, how often it comes
// (weight) and how many times a day at most.
struct KindInfo
{
    Kind kind;
    const char *name;
    int weight, most;
};
constexpr KindInfo kKinds[] = {
    {Kind::Sale, "sale", 10, 99},
    {Kind::CreditNote, "credit-note", 3, 99},
    {Kind::Correct, "correct", 6, 99},
    {Kind::Flag, "flag", 2, 99},
    {Kind::Anular, "anular", 1, 3},
    {Kind::CierreX, "cierre-x", 1, 2},
    {Kind::CierreZ, "cierre-z", 1, 2},
    {Kind::LoseZ, "lose-z", 1, 1},
    {Kind::AbrirGaveta, "abrir-gaveta", 1, 2},
    {Kind::DetenerIniciar, "detener-iniciar", 1, 4},
    {Kind::Reintentar, "reintentar", 1, 3},
    {Kind::ReporteMemoria, "reporte-memoria", 1, 1},
    {Kind::LoseReply, "lose-reply", 2, 4},
    {Kind::UploadFail, "upload-fail", 2, 4},
    {Kind::RefuseNth, "refuse-nth", 2, 4},
    {Kind::Refuse, "refuse", 1, 2},
    {Kind::Refuse7WhenIdle, "refuse-7-when-idle", 1, 2},
    {Kind::RefuseForever, "refuse-forever", 1, 1},
    {Kind::Kill, "kill", 1, 2},
    {Kind::Heal, "heal", 0, 0},
    {Kind::DatabaseAway, "database-away", 1, 1},
    {Kind::DatabaseLocked, "database-locked", 1, 1},
    {Kind::DatabaseAwayAtStart, "database-away-at-start", 1, 1},
    {Kind::KeypadInvoice, "keypad-invoice", 1, 1},
    {Kind::JournalLost, "journal-lost", 1, 1},
    {Kind::Restart, "restart", 1, 2},
    {Kind::RestartThenCierreZ, "restart-then-cierre-z", 1, 1},
};

} // namespace

quint64 ShopRandom::next()
{
    // splitmix64
    quint64 z = (m_state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

QString ShopDayPlan::name(Kind kind)
{
    for (const KindInfo &k : kKinds)
        if (k.kind == kind)
            return QLatin1String(k.name);
    return {};
}

QSet<Kind> ShopDayPlan::defaultKinds()
{
    QSet<Kind> kinds;
    for (const KindInfo &k : kKinds)
        if (k.weight > 0)
            kinds << k.kind;
    return kinds;
}

QSet<Kind> ShopDayPlan::kindsFromEnvironment()
{
    QSet<Kind> kinds;
    const QStringList names = qEnvironmentVariable("SHOPDAY_KINDS").split(u',', Qt::SkipEmptyParts);
    for (const KindInfo &k : kKinds)
        if (names.contains(k.name))
            kinds << k.kind;
    // Sales and credit notes always: without them a day prints nothing.
    return kinds.isEmpty() ? defaultKinds() : kinds + QSet<Kind>{Kind::Sale, Kind::CreditNote};
}

ShopDayPlan::ShopDayPlan(quint64 seed, const QSet<Kind> &kinds, int length) : m_seed(seed)
{
    ShopRandom random(seed);
    int total = 0;
    for (const KindInfo &k : kKinds)
        total += kinds.contains(k.kind) ? k.weight : 0;
    QMap<Kind, int> count;
    int healAt = -1;
    for (int i = 0; i < length; ++i) {
        ShopEvent e{Kind::Sale, random.below(30000), random.next(), random.percent(40)};
        if (i == healAt) {
            e.kind = Kind::Heal;
        } else if (i >= 2) { // something to print first
            int pick = random.below(total);
            for (const KindInfo &k : kKinds) {
                if (!kinds.contains(k.kind) || (pick -= k.weight) >= 0)
                    continue;
                // A lasting fault is healed a few events later; one at a time.
                const bool lasting = k.kind == Kind::Refuse || k.kind == Kind::Refuse7WhenIdle;
                if (count[k.kind] < k.most && !(lasting && healAt > i)) {
                    e.kind = k.kind;
                    ++count[k.kind];
                    if (lasting)
                        healAt = i + 2 + random.below(5);
                }
                break;
            }
        }
        // Only the moments of a document matter to what is not a new document.
        e.whilePrinting = e.whilePrinting && e.kind != Kind::Sale && e.kind != Kind::CreditNote &&
                          e.kind != Kind::Heal;
        m_events << e;
    }
    if (healAt >= length)
        m_events << ShopEvent{Kind::Heal, 0, 0, false};
}

} // namespace testsupport
