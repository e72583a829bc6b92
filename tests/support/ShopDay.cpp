#include "support/ShopDay.h"

#include "core/Texts.h"
#include "printer/DriverLibrary.h"
#include "support/RobotProcess.h"

#include <QDate>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QThread>
#include <cmath>

namespace testsupport {

namespace {

using Kind = ShopEvent::Kind;
using enum core::DocumentKind;

constexpr double kScale = 0.01; // the robot's [timing] Scale in an Installation
constexpr int kSettleMs = 30000, kMostStarts = 40;
// The shop's tax rates, none where the robot's defaults (16, 8 and 31 %) have it:
// a robot that printed with those would put every taxed item at another position.
constexpr double kRates[] = {8, 31, 16};
// The printer's own rates the same, after its type and serial in [printer].
const QByteArray kPrinter = "Rates=8,31,16\n[counters]\nInvoice=100\nCreditNote=20\nZ=7\n";
const char *const kProducts[] = {"HARINA PAN",   "ARROZ MARY",     "CAFE FAMA",    "AZUCAR",
                                 "ACEITE VATEL", "LECHE COMPLETA", "PASTA PRIMOR", "QUESO BLANCO"};
const char *const kSurnames[] = {"PEREZ", "GONZALEZ", "RODRIGUEZ", "HERNANDEZ", "MARQUEZ", "ROJAS"};
const char *const kAddresses[] = {"Av. Urdaneta, Local 3", "Calle 5, Los Palos Grandes",
                                  "Av. Bolivar Norte 12", "Centro Comercial Lido, PB"};

template <typename T, size_t n> const T &pick(const T (&list)[n], ShopRandom &random)
{
    return list[random.below(int(n))];
}

QString oneLine(QString text)
{
    return text.replace(u'\n', QLatin1String(" | "));
}

// A closed or cancelled document of the paper roll: what it carries as
// Document::content() writes it and its number (empty: cancelled).
struct Paper
{
    QString content, number;
};

QList<Paper> readPaper(const QString &roll)
{
    using RE = QRegularExpression;
    static const RE block("^={40}\nSERIAL .*\n((?:.*\n)*?)={40}$", RE::MultilineOption);
    // An item's row less its amount; the payment form's line, which is no part of the
    // customer block: the robot prints the invoice without it when the printer refuses it.
    static const RE row("^ +(\\S+ x \\S+) (?:EXENTO \\()?([EGRA]).*"), form("^Forma de Pago: ");
    static const RE discount("\n(DESCUENTO \\S+)"), number(" N\\. +(\\d+)\n");
    const QString rule(40, u'-');
    QList<Paper> out;
    for (const QRegularExpressionMatch &m : block.globalMatch(roll)) {
        QStringList lines = m.captured(1).split(u'\n');
        const QString title = lines.value(lines.indexOf(rule) - 1);
        if (title != "FACTURA" && title != "NOTA DE CREDITO")
            continue;
        lines = lines.mid(0, lines.indexOf(rule, lines.indexOf(rule) + 1));
        lines.removeAll(rule);
        lines.removeAll(QString()); // header lines sent empty to overwrite a cut document's
        lines.removeIf([](const QString &l) { return form.match(l).hasMatch(); });
        lines.replaceInStrings(row, "\\1 \\2");
        lines << discount.match(m.captured(1)).captured(1);
        out << Paper{lines.join(u'\n').trimmed(), number.match(m.captured(1)).captured(1)};
    }
    return out;
}

struct Document
{
    core::DocumentKind kind = Invoice;
    qint64 code = 0, customer = 0;
    QString rif, name, address, phone, invoiceNumber;
    QList<MainRows::Item> items;
    int discount = 0; // per cent
    int rate = 1;     // the position of its tax rate among the shop's three
    bool flagged = true;
    QStringList versions; // its content each time it was flagged and pending
    QList<Paper> closed;

    QString word() const
    {
        return (kind == Invoice ? "factura " : "nota ") + QString::number(code);
    }
    // The column of a value the day gave it that the printer cannot take.
    QString heldColumn() const
    {
        for (const MainRows::Item &i : items)
            if (i.price.isNull() || i.quantity.toInt() == 0)
                return i.price.isNull() ? "Precio" : "Cantidad";
        return {};
    }
    // What the paper should show of it.
    QString content() const
    {
        QStringList c{name, rif, address,
                      kind == Invoice ? "Telefono: " + phone
                                      : "Factura afectada: " + invoiceNumber + "  01/12/2026",
                      kind == Invoice ? "FACTURA" : "NOTA DE CREDITO"};
        for (const MainRows::Item &i : items)
            c << i.name.toString()
              << QString("%1,000 x %2 %3")
                     .arg(i.quantity.toInt())
                     .arg(QLocale().toString(i.price.toDouble(), 'f', 2))
                     .arg(i.exempt.toInt() ? 'E' : "GRA"[rate - 1]);
        if (discount > 0)
            c << QString("DESCUENTO %1,00%").arg(discount);
        return c.join(u'\n');
    }
};

class Day
{
public:
    Day(const ShopDayPlan &plan, Engine engine, PostgresCluster *cluster)
        // The idle printer read every 0.6 s: its readings meet the day's faults too.
        : m_plan(plan), m_inst({.simIni = kPrinter,
                                .robotIni = "[timing]\nPrinterProbe=1\n",
                                .engine = engine,
                                .cluster = cluster})
    {
        db().setRates(kRates[0], kRates[1], kRates[2]);
    }

    ShopDayOutcome run()
    {
        m_clock.start();
        start();
        for (const ShopEvent &e : m_plan.events()) {
            pause(int(e.pauseMs * kScale));
            happen(e);
        }
        judgeAttempts(m_robot->out());
        m_lasting.clear();
        m_forever.clear();
        writeFaults({});
        // The refused document let go of its pause, as an operator would once it is
        // held (not while an attempt runs).
        for (QDeadlineTimer held(5000); !held.hasExpired(); pause(50))
            if (const Document *d = find(m_foreverWord);
                !d || !pending(*d) ||
                ask(QStringList{"reintentar"} + d->word().split(u' ')).status == 0)
                break;
        pause(20);
        if (!m_polling)
            setPolling(true);
        note("settling");
        // Until settled, or kSettleMs without a document printed.
        qsizetype before = m_docs.size();
        for (QDeadlineTimer deadline(kSettleMs); !settled(deadline.hasExpired());) {
            if (std::exchange(before, m_printableLeft) > m_printableLeft)
                deadline.setRemainingTime(kSettleMs);
            if (m_numbersAhead) // the robot may find a number nothing accounts for only now
                acceptNumbers(0);
            pause(100);
        }
        stop();
        judge();
        QStringList calls;
        for (const QStringList &call : m_inst.simLog())
            calls << call.join(u' ');
        return {m_violations, m_log.join(u'\n'),
                m_output + "\n--- paper roll ---\n" + m_inst.paper() + "\n--- printer calls ---\n" +
                    calls.join(u'\n'),
                m_summary};
    }

private:
    MainRows &db() { return m_inst.db(); }
    void note(const QString &what)
    {
        m_log << QString::number(m_clock.elapsed() / 1000.0, 'f', 2).rightJustified(6) + u' ' +
                     what;
    }

    void start()
    {
        if (std::exchange(m_loseJournal, false))
            for (const char *end : {"", "-wal", "-shm"})
                QFile::remove(m_inst.file(QString("robot-fiscal-journal.db") + end));
        m_robot = std::make_unique<RobotProcess>(m_inst.path());
        m_startedAt = m_clock.elapsed();
        m_polling = true;
        m_killArmed = m_once.startsWith("KillAfter");
        ++m_starts;
    }

    // Waits while the robot runs, reading what it writes; a robot that ended
    // (killed by a fault, or stopped at start-up) is started again.
    void pause(int ms)
    {
        const QDeadlineTimer deadline(ms);
        while (!m_robot->waitForOutput({"\x01"}, int(deadline.remainingTime())) &&
               !deadline.hasExpired()) {
            if (m_starts >= kMostStarts)
                return QThread::msleep(ulong(deadline.remainingTime()));
            ended(false);
            if (m_starts + 1 == kMostStarts)
                m_violations << "[left] the robot does not stay up";
            QThread::msleep(50);
            start();
        }
    }

    // The robot ended: killed by the day's fault, stopped by the day, or by itself.
    void ended(bool stopped)
    {
        const int status = m_robot->exitCode();
        const QString output = m_robot->out() + m_robot->err();
        m_output += output;
        note(QString("robot ended, status %1").arg(status));
        judgeAttempts(output);
        // A kill armed since the start, even if other faults followed it
        // before the robot read them.
        if (status == -1 && m_killArmed) {
            ++m_kills;
            if (m_once.startsWith("KillAfter"))
                writeFaults({}); // a robot started again would be killed at the same count
        } else if (status != (stopped ? 0 : 9)) {
            // 9: the machine's lock, which a killed robot's session may hold a moment longer.
            m_violations << QString("[crash] the robot ended with status %1 (%2): %3")
                                .arg(status)
                                .arg(stopped ? "on SIGTERM" : "by itself", output.right(2000));
        }
    }

    void stop()
    {
        // A robot still starting has no stop handler yet, and SIGTERM would kill it.
        for (QDeadlineTimer up(10000); !up.hasExpired() && ask({"estado"}).status == 3;)
            pause(50);
        m_robot->stop();
        ended(true);
    }

    RobotProcess::Answer ask(const QStringList &words)
    {
        const RobotProcess::Answer a = RobotProcess::ask(m_inst.path(), words);
        const QString first = (a.out + a.err).trimmed().section(u'\n', 0, 0).left(90);
        note(QString("%1 -> %2 %3").arg(words.join(u' ')).arg(a.status).arg(first));
        return a;
    }

    QJsonObject estado()
    {
        return QJsonDocument::fromJson(ask({"estado", "--json"}).out.toUtf8()).object();
    }
    bool printing()
    {
        const QJsonObject e = estado();
        return e.isEmpty() || !e["imprimiendo"].isNull();
    }

    // The Z an invoice closed under: the first that counted its number, or the next.
    int zOf(const QString &number) const
    {
        const QJsonObject memory = m_inst.fiscalMemory();
        for (const QJsonValue c : memory["closures"].toArray())
            if (c["lastInvoice"].toInt() >= number.toInt())
                return c["number"].toInt();
        return memory["lastZ"].toInt() + 1;
    }

    // The operator's part when the robot finds the printer ahead of every record:
    // the paper roll tells whose each number is, recorded by hand, then accepted.
    void acceptNumbers(int waitMs)
    {
        QJsonArray unaccounted;
        for (const QDeadlineTimer told(waitMs);; pause(50))
            if (unaccounted = estado()["sin_registrar"].toArray();
                !unaccounted.isEmpty() || told.hasExpired())
                break;
        if (unaccounted.isEmpty())
            return;
        for (const Paper &p : readPaper(m_inst.paper())) {
            const Document *owner = ownerOf(p);
            const auto kind = !owner ? "" : owner->kind == Invoice ? "factura" : "nota";
            for (const QJsonValue u : unaccounted)
                if (u["documento"] == kind && u["desde"].toString().toInt() <= p.number.toInt() &&
                    p.number.toInt() <= u["hasta"].toString().toInt()) {
                    note("recorded by hand: " + owner->word() + ' ' + p.number);
                    db().exec(
                        QString(
                            R"(UPDATE "%1" SET "%2" = ?, "Control" = ?, "Impresa" = -1 WHERE "Código" = ?)")
                            .arg(owner->kind == Invoice ? "Ventas" : "NotaCréditoVenta",
                                 owner->kind == Invoice ? "Factura" : "Número"),
                        {p.number, p.number, owner->code});
                    if (owner->kind == Invoice)
                        db().exec(R"(UPDATE "Ventas" SET "NúmeroZ" = ? WHERE "Código" = ?)",
                                  {zOf(p.number), owner->code});
                }
        }
        ask({"aceptar-numeros"});
    }

    // The operator's cierre-z, counted when the robot printed it or cannot tell
    // whether it did; the request that settles one it could not tell is that same Z.
    RobotProcess::Answer cierreZ()
    {
        const RobotProcess::Answer a = ask({"cierre-z"});
        // A robot killed in the middle of the request may have printed the Z.
        const bool unknown = a.err.trimmed() == core::texts::kZReportUnknown ||
                             a.err.trimmed() == core::texts::kRobotClosedWithoutAnswer;
        m_zAsked += (a.status == 0 || unknown) && !m_zUnknown;
        m_zUnknown = unknown || (m_zUnknown && a.status != 0);
        return a;
    }

    // An invoice issued at the printer's own keypad while the robot is idle: the
    // simulated printer's entries called from here, on the installation's directory.
    void keypadInvoice(ShopRandom &random)
    {
        holdPrinting();
        static const auto driver =
            printer::DriverLibrary::load(QStringLiteral(FISCALSIM_LIBRARY), QString(), nullptr);
        const int before = m_inst.fiscalMemory()["lastInvoice"].toInt();
        m_inst.writeSimIni(kPrinter); // the keypad knows nothing of the line's faults
        const QString here = QDir::currentPath();
        QDir::setCurrent(m_inst.path());
        int status = 0, error = 0;
        driver->OpenFpctrl("COM1");
        for (const char *command : {"i01VENTA DE MOSTRADOR", "!000000500000001000PAN", "101"})
            driver->SendCmd(&status, &error, command);
        driver->CloseFpctrl();
        QDir::setCurrent(here);
        if (const int number = m_inst.fiscalMemory()["lastInvoice"].toInt(); number > before)
            m_keypad << QString("%1").arg(number, 8, 10, QChar(u'0'));
        note("keypad invoice " + m_keypad.value(m_keypad.size() - 1, "not closed"));
        writeFaults(m_once); // a changed fiscalsim.ini: the robot's line reads the memory afresh
        addDocument(Invoice, random); // a document, at which the robot compares the numbers
        setPolling(true);
        m_numbersAhead = true;
        acceptNumbers(5000);
    }

    // Polling off and no document printing, so that a fault meets what comes next.
    void holdPrinting()
    {
        for (QDeadlineTimer idle(10000); !idle.hasExpired(); pause(20)) {
            if (m_polling) // again if the robot was starting, or started again meanwhile
                setPolling(false);
            else if (!printing())
                return;
        }
    }

    // Kills the robot right after the closing command of the invoice it prints
    // next (a new sale if none waits), which the pause then starts again; false
    // if none got there.
    bool killAtClosing(ShopRandom &random)
    {
        holdPrinting();
        const auto nextInvoice = [&] {
            const Document *next = nullptr;
            for (const Document &d : m_docs)
                if (d.kind == Invoice && printable(d) && (!next || d.code < next->code))
                    next = &d;
            return next;
        };
        if (!nextInvoice())
            addDocument(Invoice, random);
        const Document *next = nextInvoice();
        const int starts = m_starts;
        if (next) {
            // The customer's five lines, the items, the discount's two, the payment.
            const qsizetype closing = 5 + next->items.size() + (next->discount > 0 ? 2 : 0) + 1;
            writeFaults("KillAfter=" + QByteArray::number(closing));
            setPolling(true);
            for (QDeadlineTimer dead(5000); !dead.hasExpired() && m_starts == starts;)
                pause(20);
        }
        if (m_starts == starts) {
            writeFaults({});
            setPolling(true);
            return false;
        }
        note("killed after " + m_inst.sentCommands().value(m_inst.sentCommands().size() - 1));
        return true;
    }

    void setPolling(bool on)
    {
        const RobotProcess::Answer a = ask({on ? "iniciar" : "detener"});
        if (on && !m_polling && a.out.trimmed() == core::texts::kPollingAlreadyRunning)
            m_violations << "[stopped] polling came back by itself after detener";
        if (a.status == 0)
            m_polling = on;
    }

    // fiscalsim.ini's [faults]: those that last until healed, and one Nth fault.
    void writeFaults(const QByteArray &once, const QByteArray &lasting = {})
    {
        m_lasting += lasting;
        m_once = once;
        m_killArmed = m_killArmed || once.startsWith("KillAfter");
        QByteArray faults = m_lasting + once;
        // The refused document's line beside whatever else the printer refuses.
        if (!m_forever.isEmpty() && faults.contains("Refuse="))
            faults.replace("Refuse=", "Refuse=" + m_forever + ',');
        else if (!m_forever.isEmpty())
            faults.prepend("Refuse=" + m_forever + '\n');
        m_inst.writeSimIni(kPrinter + "[faults]\n" + faults + "\n");
        if (!once.isEmpty() || !lasting.isEmpty())
            note("faults: " + QString::fromLatin1(m_lasting + once).replace(u'\n', u' '));
    }

    Document *find(const QString &word)
    {
        for (Document &d : m_docs)
            if (d.word() == word)
                return &d;
        return nullptr;
    }

    // The next document the robot starts, if one starts within `ms`.
    Document *waitForPrinting(int ms)
    {
        static const QRegularExpression started(" inicio ((?:factura|nota) \\d+)\n");
        if (std::none_of(m_docs.cbegin(), m_docs.cend(), [&](auto &d) { return printable(d); }))
            return nullptr; // none would start
        qsizetype from = m_robot->out().size();
        for (const QDeadlineTimer deadline(ms); !deadline.hasExpired(); pause(10)) {
            from = qMin(from, m_robot->out().size()); // started again meanwhile
            if (const auto m = started.match(m_robot->out(), from); m.hasMatch())
                return find(m.captured(1));
        }
        return nullptr;
    }

    void happen(const ShopEvent &e)
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
            note(QString("%1 ms into %2:").arg(into).arg(printing ? printing->word() : "nothing"));
        }
        // A change or reintentar would shorten the refused document's pause.
        if (target && target->word() == m_foreverWord &&
            (e.kind == Kind::Correct || e.kind == Kind::Flag || e.kind == Kind::Reintentar))
            return note(name + ": " + m_foreverWord + " left as refused");
        const QString today = QDate::currentDate().toString("dd/MM/yyyy");
        const char *const prefixes[] = {"!", "101", "i03", "d1", "f09", "3", "I0Z"};
        switch (e.kind) {
        case Kind::Sale:
        case Kind::CreditNote:
            return addDocument(e.kind == Kind::Sale ? Invoice : CreditNote, random);
        case Kind::Correct:
            return correct(*target, random);
        case Kind::Flag:
            return flag(*target);
        case Kind::Anular:
            ++m_cancels;
            [[fallthrough]];
        case Kind::CierreX:
        case Kind::AbrirGaveta:
            ask({name});
            return;
        case Kind::CierreZ:
            // Failed, the operator tries once again; held back by a document, never.
            if (const auto a = cierreZ();
                a.status == 1 && !a.err.contains(core::texts::kDocumentPrinting))
                cierreZ();
            return;
        case Kind::LoseZ: {
            const bool polling = m_polling;
            holdPrinting();
            writeFaults("LoseReplyNth=1\nUploadFailNth=2");
            cierreZ();
            writeFaults({});
            cierreZ(); // within the hour: that Z, if it was printed, is not printed again
            if (polling)
                setPolling(true);
            return;
        }
        case Kind::DetenerIniciar:
            return setPolling(!m_polling);
        case Kind::Reintentar:
            for (Document &d : m_docs)
                if (d.flagged && !d.heldColumn().isEmpty())
                    target = &d;
            ask(QStringList{name} + target->word().split(u' '));
            return;
        case Kind::ReporteMemoria:
            ask({name, QDate::currentDate().addDays(-30).toString("dd/MM/yyyy"), today});
            return;
        case Kind::LoseReply:
            return writeFaults("LoseReplyNth=" + n);
        case Kind::UploadFail:
            return writeFaults("UploadFailNth=" + QByteArray::number(1 + random.below(4)));
        case Kind::RefuseNth:
            return writeFaults("RefuseNth=" + n);
        case Kind::Refuse:
            return writeFaults({}, QByteArray("Refuse=") + pick(prefixes, random) + "\n");
        case Kind::Refuse7WhenIdle:
            return writeFaults({}, "Refuse7WhenIdle=yes\n");
        case Kind::RefuseForever:
            addDocument(Invoice, random);
            m_foreverWord = m_docs.last().word();
            m_forever = "i03" + m_docs.last().rif.toLatin1(); // its RIF's line
            m_foreverSince = m_clock.elapsed();
            note(name + ": " + m_foreverWord);
            return writeFaults(m_once);
        case Kind::Kill:
            return writeFaults("KillAfter=" + n);
        case Kind::Heal:
            note(name);
            m_lasting.clear();
            return writeFaults({});
        case Kind::KeypadInvoice:
            return keypadInvoice(random);
        case Kind::DatabaseAway:
        case Kind::DatabaseAwayAtStart: {
            const bool atStart = e.kind == Kind::DatabaseAwayAtStart;
            const int ms = (atStart ? 1000 : 200) + random.below(2500);
            if (atStart)
                stop();
            note(
                QString("database away for %1 ms%2").arg(ms).arg(atStart ? ", robot started" : ""));
            m_inst.setDatabaseAway(true);
            if (atStart)
                start();
            pause(ms);
            m_inst.setDatabaseAway(false);
            return note("database back");
        }
        case Kind::DatabaseLocked: {
            // Another program's long write transaction over every sale.
            const int ms = 300 + random.below(7000);
            MainRows other(m_inst.mainDatabase());
            other.exec("BEGIN");
            other.exec(R"(UPDATE "Ventas" SET "Local" = 0)");
            note(QString("database locked for %1 ms").arg(ms));
            pause(ms);
            other.exec("COMMIT");
            return note("database unlocked");
        }
        case Kind::Restart:
        case Kind::RestartThenCierreZ:
        case Kind::JournalLost:
            // A lost journal takes with it an invoice's closing, where one gets there.
            m_loseJournal = e.kind == Kind::JournalLost;
            if (e.kind == Kind::Restart || (!m_loseJournal && random.percent(50)) ||
                !killAtClosing(random))
                stop(), start();
            note(name);
            if (e.kind == Kind::Restart)
                return;
            if (e.kind == Kind::JournalLost)
                return m_numbersAhead = true, acceptNumbers(5000);
            // At once: held back while a closing waits to be settled, asked again then.
            for (QDeadlineTimer settled(10000); !settled.hasExpired(); pause(50))
                if (const auto a = cierreZ();
                    a.status != 3 && !a.err.contains(core::texts::kDocumentPrinting))
                    return;
            return;
        }
    }

    QList<MainRows::Item> items(ShopRandom &random) const
    {
        QList<MainRows::Item> out;
        for (int i = 1 + random.below(4); i > 0; --i) {
            out << MainRows::Item{.name = pick(kProducts, random),
                                  .price = (100 + random.below(99900)) / 100.0,
                                  .quantity = 1 + random.below(5),
                                  .exempt = random.percent(15) ? -1 : 0};
            out.last().decimalQuantity = out.last().quantity;
        }
        // Now and then a value the printer cannot be given: the robot holds the document.
        if (random.percent(8) && random.percent(50))
            out.last().price = QVariant();
        else if (random.percent(4))
            out.last().quantity = out.last().decimalQuantity = 0;
        return out;
    }

    void writeLines(const Document &d)
    {
        for (const MainRows::Item &i : d.items)
            d.kind == Invoice ? db().addItem(d.code, i) : db().addCreditNoteLine(d.code, i);
    }

    void addDocument(core::DocumentKind kind, ShopRandom &random)
    {
        Document d;
        d.kind = kind;
        const qsizetype index = m_docs.size() + 1;
        d.rif = QString("%1%2").arg(kind == Invoice ? 'V' : 'J').arg(20000000 + index);
        d.name = QString("CLIENTE %1 %2").arg(index).arg(pick(kSurnames, random));
        d.address = pick(kAddresses, random);
        d.phone = QString("0212-555%1").arg(1000 + index);
        d.items = items(random);
        d.discount = kind == Invoice && random.percent(30) ? 5 + random.below(26) : 0;
        d.rate = 1 + random.below(3);
        const double rate = kRates[d.rate - 1] / 100;
        if (kind == CreditNote)
            d.invoiceNumber = QString("%1").arg(index, 8, 10, QLatin1Char('0'));
        // In one transaction, as the shop's system saves a document: never seen half made.
        db().begin();
        const qint64 sale = db().addSale(
            {.customer = {d.name, d.rif, d.address, d.phone},
             .taxRate = rate,
             .discount = d.discount,
             .invoiceNumber = d.invoiceNumber.isEmpty() ? QVariant() : d.invoiceNumber});
        d.customer = db().sale(sale, "Cliente").toLongLong();
        d.code = kind == Invoice ? sale : db().addCreditNote({.sale = sale, .taxRate = rate});
        writeLines(d);
        db().exec("COMMIT");
        d.versions << d.content();
        note(QString("%1: %2 lines, discount %3 %4")
                 .arg(d.word())
                 .arg(d.items.size())
                 .arg(d.discount)
                 .arg(d.heldColumn()));
        m_docs << d;
    }

    // The day's document a paper is, by its RIF.
    Document *ownerOf(const Paper &p)
    {
        Document *owner = nullptr;
        for (Document &d : m_docs)
            owner = p.content.contains(u'\n' + d.rif + u'\n') ? &d : owner;
        return owner;
    }

    bool pending(const Document &d)
    {
        return db().document(d.kind, d.code, "Impresa").toInt() == 0;
    }
    bool printable(const Document &d)
    {
        return d.flagged && d.heldColumn().isEmpty() && pending(d);
    }

    void correct(Document &d, ShopRandom &random)
    {
        if (!pending(d))
            return note("correct: " + d.word() + " printed already");
        const int aspect = random.below(d.kind == Invoice ? 3 : 2);
        db().begin();
        if (aspect == 0) {
            d.items = items(random);
            db().exec(d.kind == Invoice
                          ? R"(DELETE FROM "VentasDetalles" WHERE "Venta" = ?)"
                          : R"(DELETE FROM "NotaCréditoVentaDetalles" WHERE "NotaCredVent" = ?)",
                      {d.code});
            writeLines(d);
        } else if (aspect == 1) {
            d.name = d.name.section(u' ', 0, 1) + u' ' + pick(kSurnames, random);
            d.address = pick(kAddresses, random);
            db().exec(R"(UPDATE "Clientes" SET "Nombre" = ?, "Dirección" = ? WHERE "Código" = ?)",
                      {d.name, d.address, d.customer});
        } else {
            d.discount = random.percent(40) ? 0 : 5 + random.below(26);
            db().exec(R"(UPDATE "Ventas" SET "Desc01" = ? WHERE "Código" = ?)",
                      {d.discount, d.code});
        }
        db().exec("COMMIT");
        if (d.flagged)
            d.versions << d.content();
        const char *const aspects[] = {"lines", "customer", "discount"};
        note(QString("correct %1: %2 -> %3").arg(d.word(), aspects[aspect], oneLine(d.content())));
    }

    void flag(Document &d)
    {
        if (!pending(d))
            return note("flag: " + d.word() + " printed already");
        d.flagged = !d.flagged;
        db().exec(QString(R"(UPDATE "%1" SET "Imprimir" = ? WHERE "Código" = ? AND "Impresa" = 0)")
                      .arg(d.kind == Invoice ? "Ventas" : "NotaCréditoVenta"),
                  {d.flagged ? -1 : 0, d.code});
        if (d.flagged)
            d.versions << d.content();
        note((d.flagged ? "flagged " : "unflagged ") + d.word());
    }

    // The refused document's attempts in one robot's output against what its pause
    // (1 minute, doubling at each failure) allows in the time it was refused.
    void judgeAttempts(const QString &output)
    {
        if (m_forever.isEmpty())
            return;
        const qint64 ms = m_clock.elapsed() - qMax(m_startedAt, m_foreverSince);
        const qsizetype attempts = output.count(" inicio " + m_foreverWord + '\n');
        const int most = 2 + int(std::log2(double(ms) / (60000 * kScale) + 1));
        if (attempts > most)
            m_violations << QString("[cancels] %1 tried %2 times in %3 ms of one robot's run; "
                                    "its pause allows %4")
                                .arg(m_foreverWord)
                                .arg(attempts)
                                .arg(ms)
                                .arg(most);
    }

    // Whether nothing printable waits and the robot holds just what the day
    // gave a reason to; at the time-out, says what is left.
    bool settled(bool last)
    {
        QStringList printable, held, listed;
        for (const Document &d : m_docs)
            if (d.flagged && pending(d))
                (d.heldColumn().isEmpty() ? printable : held) << d.word();
        m_printableLeft = printable.size();
        QJsonValue printing;
        if (printable.isEmpty()) {
            const QJsonObject estado =
                QJsonDocument::fromJson(ask({"estado", "--json"}).out.toUtf8()).object();
            printing = estado["imprimiendo"];
            // Each held for the value the day gave it, which its message names.
            for (const QJsonValue h : estado["retenidos"].toArray()) {
                const QString word =
                    h["documento"].toString() + u' ' + QString::number(h["codigo"].toInteger());
                const Document *d = find(word);
                const QString reason = h["motivo"].toString(), column = d ? d->heldColumn() : "";
                const bool named = !column.isEmpty() && reason.contains("columna " + column);
                listed << word + (named ? "" : " (" + reason + ')');
            }
            listed.sort();
            held.sort();
            if (printing.isNull() && listed == held)
                return true;
        }
        if (last)
            m_violations << QString("[left] after %1 s without a document printed, printable: "
                                    "[%2]; the robot prints %3 and "
                                    "holds [%4]; the day gave reasons to hold [%5]")
                                .arg(kSettleMs / 1000)
                                .arg(printable.join(", "),
                                     QString::fromUtf8(QJsonDocument(QJsonArray{printing})
                                                           .toJson(QJsonDocument::Compact)),
                                     listed.join(", "), held.join(", "));
        return last;
    }

    void judge()
    {
        int cancelled = 0, closed = 0;
        const int zReports = int(m_inst.paper().count("\nREPORTE Z\n"));
        for (const Paper &p : readPaper(m_inst.paper())) {
            Document *owner = ownerOf(p);
            cancelled += p.number.isEmpty();
            if (m_keypad.contains(p.number)) {
                if (db().value(R"(SELECT count(*) FROM "Ventas" WHERE "Factura" = ?)", {p.number})
                        .toInt() > 0)
                    m_violations << "[numbers] the keypad's invoice " + p.number +
                                        " recorded against a sale";
                continue;
            }
            if (p.number.isEmpty())
                continue;
            ++closed;
            if (!owner || !owner->versions.contains(p.content))
                m_violations << QString("[content] %1 closed as %2; pending it was %3")
                                    .arg(owner ? owner->word() : "no document of the day",
                                         oneLine(p.content),
                                         owner ? oneLine(owner->versions.last()) : "");
            if (owner)
                owner->closed << p;
        }
        if (zReports > m_zAsked)
            m_violations
                << QString("[twice] %1 Z reports for %2 cierre-z").arg(zReports).arg(m_zAsked);
        for (const Document &d : m_docs) {
            const auto column = [&](const QString &name) {
                return db().document(d.kind, d.code, name);
            };
            QStringList numbers;
            for (const Paper &p : d.closed)
                numbers << p.number;
            const QString number = column(d.kind == Invoice ? "Factura" : "Número").toString();
            const qsizetype at = numbers.indexOf(number);
            const bool recorded = column("Impresa").toInt() == -1;
            const int z = d.kind == Invoice ? column("NúmeroZ").toInt() : 0;
            const QString what = QString("%1 closed as [%2], recorded: %3, Z %4")
                                     .arg(d.word(), numbers.join(", "), recorded ? number : "no")
                                     .arg(z);
            if (numbers.size() > 1)
                m_violations << "[twice] " + what;
            if (recorded != !numbers.isEmpty() || (recorded && at < 0) ||
                (recorded && d.kind == Invoice && z != zOf(number)))
                m_violations << "[numbers] " + what;
        }
        const QJsonObject open = m_inst.fiscalMemory()["document"].toObject();
        if (!open.isEmpty())
            m_violations << "[left] a document open on the printer: " +
                                QString::fromUtf8(
                                    QJsonDocument(open).toJson(QJsonDocument::Compact));
        // A cancel needs an operator's anular, a kill, or a call that failed on the line.
        int failed = 0;
        for (const QStringList &call : m_inst.simLog())
            failed += call.size() > 2 && call.value(1) != "7" && call.last() == "0";
        m_summary = QString::asprintf("%d documents, %d closed, %d cancelled, %d Z, %d failed "
                                      "calls, %d kills, %d anular, %d starts",
                                      int(m_docs.size()), closed, cancelled, zReports, failed,
                                      m_kills, m_cancels, m_starts);
        if (cancelled > m_cancels + m_kills + failed)
            m_violations << "[cancels] " + m_summary;
    }

    const ShopDayPlan &m_plan;
    Installation m_inst;
    std::unique_ptr<RobotProcess> m_robot;
    QElapsedTimer m_clock;
    QStringList m_log, m_violations;
    QString m_output, m_summary;
    QByteArray m_lasting, m_once;
    QByteArray m_forever;  // the prefix of the refused document's line, until settling
    QString m_foreverWord; // that document
    qint64 m_foreverSince = 0, m_startedAt = 0;
    bool m_killArmed = false; // since the robot last started
    QList<Document> m_docs;
    qsizetype m_printableLeft = 0; // while settling
    QStringList m_keypad;          // the numbers of invoices issued at the printer's keypad
    bool m_polling = true, m_zUnknown = false, m_loseJournal = false, m_numbersAhead = false;
    int m_starts = 0, m_kills = 0, m_cancels = 0, m_zAsked = 0;
};

} // namespace

ShopDayOutcome runShopDay(const ShopDayPlan &plan, Engine engine, PostgresCluster *cluster)
{
    return Day(plan, engine, cluster).run();
}

} // namespace testsupport
