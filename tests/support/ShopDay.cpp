#include "support/ShopDay.h"

#include "core/Texts.h"
#include "support/PostgresCluster.h"
#include "support/RobotProcess.h"

#include <QDate>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <numeric>

namespace testsupport {

namespace {

using Kind = ShopEvent::Kind;
using enum core::DocumentKind;

constexpr double kScale = 0.01; // the robot's [timing] Scale in an Installation
constexpr int kFirstZ = 7;
const QByteArray kCounters = "[counters]\nInvoice=100\nCreditNote=20\nZ=7\n";
constexpr int kSettleMs = 30000;
constexpr int kMostStarts = 40;

const char *const kProducts[] = {"HARINA PAN",   "ARROZ MARY",     "CAFE FAMA",    "AZUCAR",
                                 "ACEITE VATEL", "LECHE COMPLETA", "PASTA PRIMOR", "QUESO BLANCO"};
const char *const kSurnames[] = {"PEREZ", "GONZALEZ", "RODRIGUEZ", "HERNANDEZ", "MARQUEZ", "ROJAS"};
const char *const kAddresses[] = {"Av. Urdaneta, Local 3", "Calle 5, Los Palos Grandes",
                                  "Av. Bolivar Norte 12", "Centro Comercial Lido, PB"};

template <typename T, size_t n> const T &pick(const T (&list)[n], ShopRandom &random)
{
    return list[random.below(int(n))];
}

// "1.234,56" as the roll prints amounts, in units of 1/scale.
qint64 amount(QString text, int scale)
{
    return qRound64(text.remove(u'.').replace(u',', u'.').toDouble() * scale);
}

} // namespace

QString ShopDay::PaperDocument::describe() const
{
    QStringList items;
    for (const Line &l : lines)
        items << QStringLiteral("%1 %2x%3%4")
                     .arg(l.description)
                     .arg(l.quantity)
                     .arg(l.price)
                     .arg(l.rate);
    return QStringLiteral("%1%2 [%3] {%4} discount %5")
        .arg(kind == CreditNote ? "nota" : "factura", number.isEmpty() ? QString() : u' ' + number,
             header.join(" | "), items.join("; "))
        .arg(discount);
}

// The documents of fiscalsim-paper.txt in the order printed, closed and cancelled.
QList<ShopDay::PaperDocument> ShopDay::readPaper(const QString &text, int *zReports)
{
    QList<PaperDocument> documents;
    *zReports = 0;
    static const QRegularExpression item(
        QStringLiteral("^ +([\\d.,]+) x ([\\d.,]+) (?:EXENTO \\()?([EGRA])"));
    static const QRegularExpression discount(QStringLiteral("^DESCUENTO ([\\d.,]+)%"));
    static const QRegularExpression closed(
        QStringLiteral("^(?:FACTURA|NOTA DE CREDITO) N\\. +(\\d+)$"));
    static const QRegularExpression notPaymentForm(QStringLiteral("^(?!Forma de Pago: )"));
    const QString edge(40, u'='), rule(40, u'-');
    const QStringList all = text.split(u'\n');
    for (qsizetype at = all.indexOf(edge); at >= 0; at = all.indexOf(edge, at + 1)) {
        const qsizetype end = all.indexOf(edge, at + 1);
        if (end < 0)
            break;
        const QStringList block = all.mid(at + 1, end - at - 1);
        at = end;
        const qsizetype firstRule = block.indexOf(rule);
        const QString title = block.value(firstRule - 1);
        if (title == QLatin1String("REPORTE Z"))
            ++*zReports;
        if (firstRule < 2 ||
            (title != QLatin1String("FACTURA") && title != QLatin1String("NOTA DE CREDITO")))
            continue;
        PaperDocument d;
        d.kind = title == QLatin1String("FACTURA") ? Invoice : CreditNote;
        // Line 6, the payment form, is no part of the customer block: the robot
        // prints the invoice without it when the printer refuses it.
        d.header = block.mid(1, firstRule - 2).filter(notPaymentForm);
        d.zBefore = *zReports;
        qsizetype k = firstRule + 1;
        for (; k + 1 < block.size() && block[k] != rule; k += 2) {
            const auto m = item.match(block[k + 1]);
            const QString rate = m.captured(3);
            d.lines << PaperDocument::Line{block[k], amount(m.captured(2), 100),
                                           amount(m.captured(1), 1000),
                                           rate.isEmpty() ? QChar() : rate[0]};
        }
        for (; k < block.size(); ++k) {
            if (const auto m = discount.match(block[k]); m.hasMatch())
                d.discount = int(amount(m.captured(1), 100));
            if (const auto m = closed.match(block[k]); m.hasMatch())
                d.number = m.captured(1);
        }
        documents << d;
    }
    return documents;
}

QString ShopDay::Document::word() const
{
    return QStringLiteral("%1 %2").arg(kind == Invoice ? "factura" : "nota").arg(code);
}

QString ShopDay::Document::heldColumn() const
{
    for (const Item &i : items) {
        if (i.price < 0)
            return QStringLiteral("Precio");
        if (i.quantity == 0)
            return QStringLiteral("Cantidad");
    }
    return {};
}

ShopDay::PaperDocument ShopDay::Document::expected() const
{
    PaperDocument p;
    p.kind = kind;
    p.header = {name, rif, address};
    if (kind == Invoice)
        p.header << QStringLiteral("Telefono: ") + phone;
    else
        p.header << QStringLiteral("Factura afectada: %1  01/12/2026").arg(invoiceNumber);
    for (const Item &i : items)
        p.lines << PaperDocument::Line{i.name, i.price, i.quantity * 1000LL,
                                       QLatin1Char(i.exempt ? 'E' : 'G')};
    p.discount = kind == Invoice ? discount * 100 : 0; // HKA credit notes carry none
    return p;
}

ShopDay::ShopDay(const ShopDayPlan &plan, Engine engine, PostgresCluster *cluster)
    : m_plan(plan), m_cluster(cluster),
      m_inst({.simIni = kCounters, .engine = engine, .cluster = cluster}),
      m_rows(std::make_unique<MainRows>(m_inst.mainDatabase()))
{
}

ShopDay::~ShopDay() = default;

QString ShopDay::output() const
{
    QStringList calls;
    for (const QStringList &call : m_inst.simLog())
        calls << call.join(u' ');
    return m_output + QStringLiteral("\n--- paper roll ---\n") + m_inst.paper() +
           QStringLiteral("\n--- printer calls ---\n") + calls.join(u'\n');
}

void ShopDay::note(const QString &what)
{
    m_log << QStringLiteral("%1 %2").arg(m_clock.elapsed() / 1000.0, 6, 'f', 2).arg(what);
}

void ShopDay::start()
{
    m_robot = std::make_unique<RobotProcess>(m_inst.path());
    m_polling = true;
    ++m_starts;
}

// Waits while the robot runs, reading what it writes; a robot that ended
// (killed by a fault, or stopped at start-up) is started again.
void ShopDay::pause(int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!m_robot->waitForOutput({QStringLiteral("\x01")}, int(deadline.remainingTime())) &&
           !deadline.hasExpired()) {
        if (m_starts >= kMostStarts) {
            QThread::msleep(ulong(deadline.remainingTime()));
            return;
        }
        ended();
    }
}

void ShopDay::ended()
{
    const int status = m_robot->exitCode();
    const QString err = m_robot->err();
    m_output += m_robot->out() + err;
    // Status 9: the machine's lock, which a killed robot's session may hold a moment longer.
    if ((status == -1 && !m_once.startsWith("KillAfter")) || (status != -1 && status != 9))
        m_violations
            << QStringLiteral("[crash] the robot ended by itself, status %1: ").arg(status) +
                   err.right(2000);
    if (status == -1) {
        ++m_kills;
        writeFaults({}, {}); // the restarted robot would be killed at the same count again
    }
    note(QStringLiteral("robot ended (status %1), started again").arg(status));
    if (m_starts + 1 == kMostStarts)
        m_violations << QStringLiteral("[left] the robot does not stay up");
    QThread::msleep(50);
    start();
}

void ShopDay::stop()
{
    // A robot still starting has no stop handler yet, and SIGTERM would kill it.
    for (QDeadlineTimer up(10000); !up.hasExpired() && ask({QStringLiteral("estado")}).status == 3;)
        pause(50);
    m_robot->terminate();
    m_robot->waitForExit();
    const QString output = m_robot->out() + m_robot->err();
    m_output += output;
    if (m_robot->exitCode() == -1 && m_once.startsWith("KillAfter")) {
        ++m_kills;
        note(QStringLiteral("robot killed"));
    } else if (m_robot->exitCode() != 0) {
        m_violations << QStringLiteral("[crash] the robot ended with status %1 on SIGTERM: ")
                                .arg(m_robot->exitCode()) +
                            output.right(1000);
    }
}

ShopDay::Answer ShopDay::ask(const QStringList &words)
{
    RobotProcess client(m_inst.path(), words);
    client.waitForExit();
    const Answer a{client.exitCode(), (client.out() + client.err()).trimmed()};
    note(QStringLiteral("%1 -> %2 %3")
             .arg(words.join(u' '))
             .arg(a.status)
             .arg(a.text.section(u'\n', 0, 0).left(90)));
    return a;
}

void ShopDay::setPolling(bool on)
{
    const Answer a = ask({on ? QStringLiteral("iniciar") : QStringLiteral("detener")});
    if (on && a.text == core::texts::kPollingAlreadyRunning)
        m_violations << QStringLiteral("[stopped] polling came back by itself after detener");
    if (a.status == 0)
        m_polling = on;
}

// fiscalsim.ini's [faults]: those that last until healed, and one Nth fault.
void ShopDay::writeFaults(const QByteArray &once, const QByteArray &lasting)
{
    m_lasting += lasting;
    m_once = once;
    const QByteArray faults = m_lasting + once;
    m_inst.writeSimIni(kCounters + "[faults]\n" + faults + "\n");
    if (!once.isEmpty() || !lasting.isEmpty())
        note(QStringLiteral("faults: ") + QString::fromLatin1(faults).replace(u'\n', u' '));
}

// The next document the robot starts, if one starts within `ms`.
ShopDay::Document *ShopDay::waitForPrinting(int ms)
{
    static const QRegularExpression started(QStringLiteral(" inicio (factura|nota) (\\d+)\n"));
    qsizetype from = m_robot->out().size();
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        from = qMin(from, m_robot->out().size()); // started again meanwhile
        if (const auto m = started.match(m_robot->out(), from); m.hasMatch()) {
            for (Document &d : m_docs)
                if (d.word() == m.captured(1) + u' ' + m.captured(2))
                    return &d;
            return nullptr;
        }
        pause(10);
    }
    return nullptr;
}

QStringList ShopDay::run()
{
    m_clock.start();
    start();
    for (const ShopEvent &e : m_plan.events()) {
        pause(int(e.pauseMs * kScale));
        happen(e);
    }
    m_lasting.clear();
    writeFaults({}, {});
    pause(20);
    if (!m_polling)
        setPolling(true);
    note(QStringLiteral("settling"));
    const QDeadlineTimer deadline(kSettleMs);
    while (!settled(deadline.hasExpired()))
        pause(100);
    stop();
    note(QStringLiteral("settled"));
    judge();
    return m_violations;
}

void ShopDay::happen(const ShopEvent &e)
{
    ShopRandom random(e.detail);
    Document *target = m_docs.isEmpty() ? nullptr : &m_docs[random.below(int(m_docs.size()))];
    const QByteArray n = QByteArray::number(1 + random.below(random.percent(50) ? 3 : 12));
    const QString name = ShopDayPlan::name(e.kind);
    const int into = random.below(150); // ms into the document
    if (e.whilePrinting) {
        Document *printing = waitForPrinting(1000);
        pause(into);
        target = printing ? printing : target;
        note(QStringLiteral("%1 ms into %2:")
                 .arg(into)
                 .arg(printing ? printing->word() : "nothing"));
    }
    switch (e.kind) {
    case Kind::Sale:
        return addDocument(Invoice, random);
    case Kind::CreditNote:
        return addDocument(CreditNote, random);
    case Kind::Correct:
        return correct(*target, random);
    case Kind::Flag:
        return flag(*target);
    case Kind::Anular:
        ++m_cancels;
        ask({name});
        return;
    case Kind::CierreX:
    case Kind::AbrirGaveta:
        ask({name});
        return;
    case Kind::CierreZ:
        ++m_zAsked;
        // Failed, the operator tries once again; held back by a document, never.
        if (const Answer a = ask({name});
            a.status == 1 && !a.text.contains(core::texts::kDocumentPrinting))
            ask({name});
        return;
    case Kind::DetenerIniciar:
        return setPolling(!m_polling);
    case Kind::Reintentar:
        for (Document &d : m_docs)
            if (d.flagged && !d.heldColumn().isEmpty())
                target = &d;
        ask({name, target->word().section(u' ', 0, 0), QString::number(target->code)});
        return;
    case Kind::ReporteMemoria: {
        const QDate today = QDate::currentDate();
        ask({name, today.addDays(-30).toString(QStringLiteral("dd/MM/yyyy")),
             today.toString(QStringLiteral("dd/MM/yyyy"))});
        return;
    }
    case Kind::LoseReply:
        return writeFaults("LoseReplyNth=" + n, {});
    case Kind::UploadFail:
        return writeFaults("UploadFailNth=" + QByteArray::number(1 + random.below(4)), {});
    case Kind::RefuseNth:
        return writeFaults("RefuseNth=" + n, {});
    case Kind::Refuse: {
        const char *const prefixes[] = {"!", "101", "i03", "d1", "f09", "3", "I0Z"};
        return writeFaults({}, QByteArray("Refuse=") + pick(prefixes, random) + "\n");
    }
    case Kind::Refuse7WhenIdle:
        return writeFaults({}, "Refuse7WhenIdle=yes\n");
    case Kind::Kill:
        return writeFaults("KillAfter=" + n, {});
    case Kind::Heal:
        note(name);
        m_lasting.clear();
        return writeFaults({}, {});
    case Kind::DatabaseAway:
        return databaseAway(200 + random.below(2500));
    case Kind::DatabaseLocked:
        return databaseLocked(300 + random.below(7000));
    case Kind::Restart:
        stop();
        note(name);
        return start();
    }
}

QList<ShopDay::Item> ShopDay::items(ShopRandom &random) const
{
    QList<Item> out;
    for (int i = 1 + random.below(4); i > 0; --i)
        out << Item{QLatin1String(pick(kProducts, random)), 100 + random.below(99900),
                    1 + random.below(5), random.percent(15)};
    // Now and then a value the printer cannot be given: the robot holds the document.
    if (random.percent(8) && random.percent(50))
        out.last().price = -1;
    else if (random.percent(4))
        out.last().quantity = 0;
    return out;
}

void ShopDay::writeLines(const Document &d)
{
    for (const Item &i : d.items) {
        const MainRows::Item row{i.name,     i.price < 0 ? QVariant() : QVariant(i.price / 100.0),
                                 i.quantity, i.quantity,
                                 {},         i.exempt ? -1 : 0};
        d.kind == Invoice ? m_rows->addItem(d.code, row) : m_rows->addCreditNoteLine(d.code, row);
    }
}

void ShopDay::addDocument(core::DocumentKind kind, ShopRandom &random)
{
    Document d;
    d.kind = kind;
    const qsizetype index = m_docs.size() + 1;
    d.rif = QStringLiteral("%1%2").arg(kind == Invoice ? 'V' : 'J').arg(20000000 + index);
    d.name = QStringLiteral("CLIENTE %1 %2").arg(index).arg(pick(kSurnames, random));
    d.address = QLatin1String(pick(kAddresses, random));
    d.phone = QStringLiteral("0212-555%1").arg(1000 + index);
    d.items = items(random);
    d.discount = kind == Invoice && random.percent(30) ? 5 + random.below(26) : 0;
    const MainRows::Customer customer{d.name, d.rif, d.address, d.phone};
    // In one transaction, as the shop's system saves a document: never seen half made.
    begin();
    if (kind == Invoice) {
        d.code = m_rows->addSale({.customer = customer, .discount = d.discount});
        d.customer = m_rows->sale(d.code, QStringLiteral("Cliente")).toLongLong();
    } else {
        d.invoiceNumber = QStringLiteral("%1").arg(index, 8, 10, QLatin1Char('0'));
        const qint64 sale =
            m_rows->addSale({.customer = customer, .invoiceNumber = d.invoiceNumber});
        d.customer = m_rows->sale(sale, QStringLiteral("Cliente")).toLongLong();
        d.code = m_rows->addCreditNote({.sale = sale});
    }
    writeLines(d);
    m_rows->exec(QStringLiteral("COMMIT"));
    d.versions << d.expected();
    note(QStringLiteral("%1: %2 lines, discount %3 %4")
             .arg(d.word())
             .arg(d.items.size())
             .arg(d.discount)
             .arg(d.heldColumn()));
    m_docs << d;
}

void ShopDay::begin()
{
    // SQLite: the write lock at once, or a read turned write could meet the
    // robot's writing and fail without waiting.
    m_rows->exec(m_inst.engine() == Engine::Sqlite ? QStringLiteral("BEGIN IMMEDIATE")
                                                   : QStringLiteral("BEGIN"));
}

bool ShopDay::pending(const Document &d)
{
    const QString impresa = QStringLiteral("Impresa");
    return (d.kind == Invoice ? m_rows->sale(d.code, impresa) : m_rows->creditNote(d.code, impresa))
               .toInt() == 0;
}

void ShopDay::correct(Document &d, ShopRandom &random)
{
    if (!pending(d))
        return note(QStringLiteral("correct: %1 printed already").arg(d.word()));
    const int aspect = random.below(d.kind == Invoice ? 3 : 2);
    begin();
    if (aspect == 0) {
        d.items = items(random);
        m_rows->exec(d.kind == Invoice
                         ? QStringLiteral("DELETE FROM \"VentasDetalles\" WHERE \"Venta\" = ?")
                         : QStringLiteral("DELETE FROM \"NotaCréditoVentaDetalles\" WHERE "
                                          "\"NotaCredVent\" = ?"),
                     {d.code});
        writeLines(d);
    } else if (aspect == 1) {
        d.name = d.name.section(u' ', 0, 1) + u' ' + QLatin1String(pick(kSurnames, random));
        d.address = QLatin1String(pick(kAddresses, random));
        m_rows->exec(QStringLiteral("UPDATE \"Clientes\" SET \"Nombre\" = ?, \"Dirección\" = ? "
                                    "WHERE \"Código\" = ?"),
                     {d.name, d.address, d.customer});
    } else {
        d.discount = random.percent(40) ? 0 : 5 + random.below(26);
        m_rows->exec(QStringLiteral("UPDATE \"Ventas\" SET \"Desc01\" = ? WHERE \"Código\" = ?"),
                     {d.discount, d.code});
    }
    m_rows->exec(QStringLiteral("COMMIT"));
    if (d.flagged)
        d.versions << d.expected();
    const char *const aspects[] = {"lines", "customer", "discount"};
    note(QStringLiteral("correct %1: %2 -> %3")
             .arg(d.word(), aspects[aspect], d.expected().describe()));
}

void ShopDay::flag(Document &d)
{
    if (!pending(d))
        return note(QStringLiteral("flag: %1 printed already").arg(d.word()));
    d.flagged = !d.flagged;
    m_rows->exec(QStringLiteral("UPDATE \"%1\" SET \"Imprimir\" = ? WHERE \"Código\" = ? AND "
                                "\"Impresa\" = 0")
                     .arg(d.kind == Invoice ? "Ventas" : "NotaCréditoVenta"),
                 {d.flagged ? -1 : 0, d.code});
    if (d.flagged)
        d.versions << d.expected();
    note(QStringLiteral("%1 %2").arg(d.flagged ? "flagged" : "unflagged", d.word()));
}

void ShopDay::databaseAway(int ms)
{
    note(QStringLiteral("database away for %1 ms").arg(ms));
    if (m_inst.engine() == Engine::Sqlite) {
        const QString aside = m_inst.file(QStringLiteral("aparte.dba"));
        QFile::rename(m_inst.mainDatabase(), aside);
        pause(ms);
        QFile::rename(aside, m_inst.mainDatabase());
    } else if (m_cluster) {
        m_rows.reset();
        m_cluster->stop();
        pause(ms);
        m_cluster->start();
        m_rows = std::make_unique<MainRows>(m_inst.mainDatabase());
    }
    note(QStringLiteral("database back"));
}

void ShopDay::databaseLocked(int ms)
{
    // Another program's long write transaction over every sale.
    MainRows other(m_inst.mainDatabase());
    other.exec(QStringLiteral("BEGIN"));
    other.exec(QStringLiteral("UPDATE \"Ventas\" SET \"Local\" = 0"));
    note(QStringLiteral("database locked for %1 ms").arg(ms));
    pause(ms);
    other.exec(QStringLiteral("COMMIT"));
    note(QStringLiteral("database unlocked"));
}

// Whether nothing printable waits and the robot holds just what the day
// gave a reason to; at the time-out, says what is left.
bool ShopDay::settled(bool last)
{
    QStringList printable, held;
    QMap<QString, QString> columns;
    for (const Document &d : m_docs) {
        if (d.flagged && pending(d))
            (d.heldColumn().isEmpty() ? printable : held) << d.word();
        columns[d.word()] = d.heldColumn();
    }
    QStringList listed;
    QJsonValue printing;
    if (printable.isEmpty()) {
        const Answer a = ask({QStringLiteral("estado"), QStringLiteral("--json")});
        const QJsonObject estado = QJsonDocument::fromJson(a.text.toUtf8()).object();
        printing = estado[QStringLiteral("imprimiendo")];
        const QJsonArray retenidos = estado[QStringLiteral("retenidos")].toArray();
        // Each held for the value the day gave it, which its message names.
        for (const QJsonValue &h : retenidos) {
            const QString word = h[QStringLiteral("documento")].toString() + u' ' +
                                 QString::number(h[QStringLiteral("codigo")].toInteger());
            const QString reason = h[QStringLiteral("motivo")].toString();
            const QString column = columns.value(word);
            listed << word +
                          (!column.isEmpty() && reason.contains(QStringLiteral("columna ") + column)
                               ? QString()
                               : QStringLiteral(" (") + reason + u')');
        }
        std::sort(listed.begin(), listed.end());
        std::sort(held.begin(), held.end());
        if (printing.isNull() && listed == held)
            return true;
    }
    if (!last)
        return false;
    if (!printable.isEmpty())
        m_violations << QStringLiteral("[left] still pending after %1 s, printable: %2")
                            .arg(kSettleMs / 1000)
                            .arg(printable.join(QStringLiteral(", ")));
    else
        m_violations << QStringLiteral("[left] the robot is printing %1 and holds [%2]; the day "
                                       "gave reasons to hold [%3]")
                            .arg(QString::fromUtf8(
                                QJsonDocument(QJsonArray{printing}).toJson(QJsonDocument::Compact)))
                            .arg(listed.join(QStringLiteral(", ")),
                                 held.join(QStringLiteral(", ")));
    return true;
}

void ShopDay::judge()
{
    int zReports = 0, cancelled = 0;
    QMap<qsizetype, QList<PaperDocument>> closed; // by the day's document
    for (const PaperDocument &p : readPaper(m_inst.paper(), &zReports)) {
        cancelled += p.number.isEmpty();
        const auto owner = std::find_if(m_docs.cbegin(), m_docs.cend(), [&](const Document &d) {
            return p.header.contains(d.rif);
        });
        if (p.number.isEmpty())
            continue;
        if (owner == m_docs.cend()) {
            m_violations
                << QStringLiteral("[content] %1 carries no document of the day").arg(p.describe());
            continue;
        }
        closed[owner - m_docs.cbegin()] << p;
        if (std::none_of(owner->versions.cbegin(), owner->versions.cend(),
                         [&](const PaperDocument &v) { return v.sameContent(p); }))
            m_violations << QStringLiteral("[content] %1 closed as %2; pending it was %3")
                                .arg(owner->word(), p.describe(),
                                     owner->versions.last().describe());
    }
    if (zReports > m_zAsked)
        m_violations
            << QStringLiteral("[twice] %1 Z reports for %2 cierre-z").arg(zReports).arg(m_zAsked);
    for (qsizetype i = 0; i < m_docs.size(); ++i) {
        const Document &d = m_docs[i];
        QStringList numbers;
        for (const PaperDocument &p : closed[i])
            numbers << p.number;
        const QString word = d.word() + QStringLiteral(" closed as [%1]").arg(numbers.join(", "));
        if (numbers.size() > 1)
            m_violations << QStringLiteral("[twice] ") + word;
        const auto column = [&](const char *name) {
            const QString c = QString::fromUtf8(name);
            return d.kind == Invoice ? m_rows->sale(d.code, c) : m_rows->creditNote(d.code, c);
        };
        const QString number = column(d.kind == Invoice ? "Factura" : "Número").toString();
        const qsizetype at = numbers.indexOf(number);
        const bool recorded = column("Impresa").toInt() == -1;
        if (recorded != !numbers.isEmpty() || (recorded && at < 0))
            m_violations
                << QStringLiteral("[numbers] %1, recorded: %2").arg(word, recorded ? number : "no");
        else if (recorded && d.kind == Invoice &&
                 column("NúmeroZ").toInt() != kFirstZ + closed[i][at].zBefore + 1)
            m_violations << QStringLiteral("[numbers] %1, recorded with Z %2")
                                .arg(word, column("NúmeroZ").toString());
    }
    const QJsonObject open = m_inst.fiscalMemory()[QStringLiteral("document")].toObject();
    if (!open.isEmpty())
        m_violations << QStringLiteral("[left] a document open on the printer: ") +
                            QString::fromUtf8(QJsonDocument(open).toJson(QJsonDocument::Compact));
    // A cancel needs an operator's anular, a kill, or a call that failed on the line.
    int failed = 0;
    for (const QStringList &call : m_inst.simLog())
        failed += call.size() > 2 && call.value(1) != QLatin1String("7") && call.last() == "0";
    m_summary = QStringLiteral("%1 documents, %2 closed, %3 cancelled, %4 Z, %5 failed calls, "
                               "%6 kills, %7 anular, %8 starts")
                    .arg(m_docs.size())
                    .arg(std::accumulate(closed.cbegin(), closed.cend(), 0,
                                         [](int n, const auto &c) { return n + int(c.size()); }))
                    .arg(cancelled)
                    .arg(zReports)
                    .arg(failed)
                    .arg(m_kills)
                    .arg(m_cancels)
                    .arg(m_starts);
    if (cancelled > m_cancels + m_kills + failed)
        m_violations << QStringLiteral("[cancels] ") + m_summary;
}

} // namespace testsupport
