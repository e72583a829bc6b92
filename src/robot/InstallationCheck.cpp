#include "robot/InstallationCheck.h"

#include "core/CodePage.h"
#include "core/ConfigItemReader.h"
#include "core/FileLayer.h"
#include "core/InstanceLock.h"
#include "core/RobotState.h"
#include "core/Settings.h"
#include "core/Texts.h"
#include "core/WindowState.h"
#include "db/DataError.h"
#include "db/Database.h"
#include "db/ListSources.h"
#include "db/PostgresUrl.h"
#include "db/PrintJournal.h"
#include "db/SqlTexts.h"
#include "printer/DriverLibrary.h"
#include "robot/Startup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringDecoder>
#include <QSysInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>

namespace robot {

namespace texts = core::texts;
using Line = InstallationCheck::Line;
using Result = InstallationCheck::Result;

namespace {

// The start-up's messages, kept instead of shown.
class QuietWindow : public core::WindowState
{
public:
    void messageBox(const QString &text) override { message = text; }
    void processEvents() override {}
    QString message;
};

// The configuration file's items as the start-up reads them.
QStringList configurationItems(const QString &path, const QString &codePage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = core::CodePage(codePage).toUnicode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return core::ConfigItemReader::items(text);
}

// A live process on this computer holds the directory's instance lock.
bool robotRuns(const QString &programDir)
{
    QLockFile lock(QDir(programDir).filePath(core::InstanceLock::fileName()));
    qint64 pid = 0;
    QString host, application;
    if (!lock.getLockInfo(&pid, &host, &application) || pid <= 0)
        return false;
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return true; // another computer's robot on a shared directory
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

bool writable(const QString &file)
{
    const QFileInfo info(file);
    return info.isWritable() && QFileInfo(info.absolutePath()).isWritable();
}

// What the robot writes on a PostgreSQL main database, and what it reads
// there besides: the privileges it needs, checked without using them.
struct Privilege
{
    const char *object;
    const char *privilege;
    QStringList columns; // empty: on the whole object
};

QStringList missingPrivileges(db::Database &main)
{
    const Privilege needed[] = {
        {"Configuración", "SELECT", {}},
        {"Configuración2", "SELECT", {}},
        {"Consulta VentasAct", "SELECT", {}},
        {"Consulta VentasDetallesAct", "SELECT", {}},
        {"AbonosVenta", "SELECT", {}},
        {"Consulta NotaCréditoVenta", "SELECT", {}},
        {"Consulta NotaCréditoVenta Detalles", "SELECT", {}},
        {"Consulta Ventas Edición", "SELECT", {}},
        {"NotaCréditoVenta", "SELECT", {}},
        {"Consulta Ventas Edición",
         "UPDATE",
         {"Factura", "Control", "Impresa", "Imprimir", "NúmeroZ"}},
        {"NotaCréditoVenta", "UPDATE", {"Número", "Control", "Impresa", "Imprimir"}},
        {"robot_fiscal_tomas", "SELECT", {}},
        {"robot_fiscal_tomas", "INSERT", {}},
        {"robot_fiscal_tomas", "DELETE", {}},
    };
    auto quoted = [](const QString &name) {
        return QStringLiteral("'\"") + name + QStringLiteral("\"'");
    };
    QStringList missing;
    for (const Privilege &p : needed) {
        const QString object = QString::fromUtf8(p.object);
        // A table or view that does not exist lacks every privilege.
        const QString exists = QStringLiteral("to_regclass(%1) IS NOT NULL").arg(quoted(object));
        QStringList checks;
        if (p.columns.isEmpty())
            checks << QStringLiteral("has_table_privilege(%1, '%2')")
                          .arg(quoted(object), QLatin1String(p.privilege));
        for (const QString &column : p.columns)
            checks << QStringLiteral("has_column_privilege(%1, '%2', '%3')")
                          .arg(quoted(object), column, QLatin1String(p.privilege));
        const QString sql = QStringLiteral("SELECT CASE WHEN %1 AND %2 THEN 1 ELSE 0 END AS ok")
                                .arg(exists, checks.join(QStringLiteral(" AND ")));
        db::RecordSet rows = main.openRecordset(sql);
        if (rows.field(QStringLiteral("ok")).toInt() != 1)
            missing << texts::missingPrivilege(QLatin1String(p.privilege), object, p.columns);
    }
    return missing;
}

} // namespace

QString Line::text() const
{
    const QString &word = result == Result::Passed   ? texts::kCheckPassed
                          : result == Result::Failed ? texts::kCheckFailed
                                                     : texts::kCheckSkipped;
    // One line: the operator's messages break theirs with CR.
    QString why = detail;
    why.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
    return word + QLatin1Char(' ') + subject + QStringLiteral(": ") +
           why.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QList<Line> InstallationCheck::run(const QString &programDirPath)
{
    QList<Line> lines;
    auto say = [&lines](Result result, const QString &subject, const QString &detail) {
        lines.append({result, subject, detail});
        return result == Result::Passed;
    };
    const QString dir = QDir::cleanPath(QFileInfo(programDirPath).absoluteFilePath());
    if (!QFileInfo(dir).isDir() || !QDir::setCurrent(dir)) {
        say(Result::Failed, texts::kCheckProgramDirectory,
            texts::directoryMissing(QDir::toNativeSeparators(dir)));
        return lines;
    }

    // The settings file: every value the robot would refuse.
    const QString iniPath = QDir(dir).filePath(QStringLiteral("robot-fiscal.ini"));
    QString refusal;
    core::Settings settings = core::Settings::load(iniPath, &refusal);
    QString why;
    if (refusal.isEmpty() && !settings.databaseUrl.isEmpty() &&
        !db::PostgresUrl::parse(settings.databaseUrl, &why))
        refusal = texts::unusableValue(QStringLiteral("[database] Url"),
                                       db::PostgresUrl::withoutPassword(settings.databaseUrl), why);
    say(refusal.isEmpty() ? Result::Passed : Result::Failed, QStringLiteral("robot-fiscal.ini"),
        !refusal.isEmpty()            ? refusal
        : QFileInfo(iniPath).isFile() ? texts::kCheckSettingsRead
                                      : texts::kCheckSettingsAbsent);

    // The configuration file, read by the start-up itself, each of its six keys in place.
    core::RobotState state;
    state.RutaPrograma = dir;
    db::ListSources lists;
    QuietWindow window;
    Startup startup(state, settings, lists, window);
    const QString infPath = QDir(dir).filePath(QStringLiteral("Vextora.inf"));
    const bool configured = startup.LeerConfiguracion();
    if (!configured) {
        say(Result::Failed, QStringLiteral("Vextora.inf"), window.message);
    } else {
        const QStringList items = configurationItems(infPath, settings.codePage);
        QStringList missing;
        for (int i = 0; i < 6; ++i) {
            const QString key = texts::kConfigurationKeys[i];
            if (!items.value(i).contains(key))
                missing << texts::keyMissing(key, i + 1);
        }
        say(missing.isEmpty() ? Result::Passed : Result::Failed, QStringLiteral("Vextora.inf"),
            missing.isEmpty() ? texts::configurationRead(state.Caja, state.Puerto)
                              : missing.join(QStringLiteral("; ")));
    }

    // The data directory and the go-ahead its marker gives.
    const QString dataDir = core::FileLayer::localPath(state.DirectorioDatos);
    if (configured) {
        if (say(QFileInfo(dataDir).isDir() ? Result::Passed : Result::Failed,
                texts::kCheckDataDirectory,
                QFileInfo(dataDir).isDir()
                    ? QDir::toNativeSeparators(dataDir)
                    : texts::directoryMissing(QDir::toNativeSeparators(
                          dataDir.isEmpty() ? QStringLiteral("Datos:") : dataDir)))) {
            const QString marker =
                state.DirectorioDatos + QStringLiteral("\\KardolenTerminalUpd.inf");
            const bool present = Startup::ChequeoExistenciaArchivo(marker);
            say(present ? Result::Passed : Result::Failed, texts::kCheckMarker,
                present ? core::FileLayer::nativePath(marker)
                        : texts::markerMissing(core::FileLayer::nativePath(marker)));
        }
    }

    // The driver library as the robot loads it, then the port and one status read.
    QString error;
    const std::unique_ptr<printer::DriverLibrary> driver =
        printer::DriverLibrary::load(settings.driverLibrary, dir, &error);
    say(driver ? Result::Passed : Result::Failed, texts::kCheckDriver,
        driver ? texts::driverLoaded(QDir::toNativeSeparators(driver->fileName())) : error);
    if (robotRuns(dir)) {
        say(Result::Skipped, texts::kCheckPort, texts::kCheckPortInUse);
    } else if (!driver || !configured) {
        say(Result::Skipped, texts::kCheckPort, texts::kCheckPortNoDriver);
    } else {
        const QByteArray port = core::CodePage(settings.codePage).fromUnicode(state.Puerto);
        int status = 0, printerError = 0;
        if (!driver->OpenFpctrl(port.constData())) {
            say(Result::Failed, texts::kCheckPort, texts::portNotOpened(state.Puerto));
        } else {
            // Not the robot's answer file: a check never touches what decides a number.
            QTemporaryDir scratch;
            const QByteArray file =
                QDir::toNativeSeparators(scratch.filePath(QStringLiteral("Status.txt")))
                    .toLocal8Bit();
            const bool read =
                driver->UploadStatusCmd(&status, &printerError, "S1", file.constData());
            driver->CloseFpctrl();
            say(read ? Result::Passed : Result::Failed, texts::kCheckPort,
                texts::statusRead(state.Puerto, read, status, printerError));
        }
    }

    // The main database: reachable, its objects readable, the rights to write them.
    const QString main =
        settings.databaseUrl.isEmpty() ? state.RutaBaseDatos : settings.databaseUrl;
    const QString shownMain = settings.databaseUrl.isEmpty()
                                  ? core::FileLayer::nativePath(main)
                                  : db::PostgresUrl::withoutPassword(main);
    if (configured) {
        try {
            const std::unique_ptr<db::Database> database =
                db::Database::open(main, settings.shortDateFormat);
            for (const QString &sql :
                 {db::SqlTexts::companySettings(), db::SqlTexts::pendingInvoices(state.Caja),
                  db::SqlTexts::pendingCreditNotes(state.Caja)})
                database->openRecordset(sql);
            QStringList missing;
            if (database->engine() == db::Database::Engine::Postgres)
                missing = missingPrivileges(*database);
            else if (!writable(core::FileLayer::localPath(main)))
                missing << texts::notWritable(shownMain);
            say(missing.isEmpty() ? Result::Passed : Result::Failed, texts::kCheckMainDatabase,
                missing.isEmpty() ? shownMain : missing.join(QStringLiteral("; ")));
        } catch (const db::DataError &e) {
            say(Result::Failed, texts::kCheckMainDatabase, e.describe());
        }
    }

    // The local ticket database, whose printed tickets the robot deletes.
    const QString local = QDir(dir).filePath(QStringLiteral("Vextora.dba"));
    try {
        const std::unique_ptr<db::Database> database =
            db::Database::open(local, settings.shortDateFormat);
        database->openRecordset(db::SqlTexts::pendingTickets(state.Caja));
        say(writable(local) ? Result::Passed : Result::Failed, texts::kCheckLocalDatabase,
            writable(local) ? QDir::toNativeSeparators(local)
                            : texts::notWritable(QDir::toNativeSeparators(local)));
    } catch (const db::DataError &e) {
        say(Result::Failed, texts::kCheckLocalDatabase, e.describe());
    }

    // The print journal: the robot makes it at its first start.
    const QString journal = QDir(dir).filePath(db::PrintJournal::fileName());
    const bool exists = QFileInfo::exists(journal);
    const bool journalWritable = exists ? writable(journal) : QFileInfo(dir).isWritable();
    say(journalWritable ? Result::Passed : Result::Failed, texts::kCheckJournal,
        !journalWritable ? texts::notWritable(QDir::toNativeSeparators(exists ? journal : dir))
        : exists         ? QDir::toNativeSeparators(journal)
                         : texts::kCheckJournalNew);
    return lines;
}

} // namespace robot
