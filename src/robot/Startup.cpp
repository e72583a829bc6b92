#include "robot/Startup.h"

#include "core/CodePage.h"
#include "core/ConfigItemReader.h"
#include "core/FileLayer.h"
#include "core/InstanceLock.h"
#include "core/Texts.h"
#include "db/PostgresUrl.h"
#include "db/SqlTexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace robot {

namespace {
const core::Rgb kFormColour{189, 206, 213};
constexpr int kFormPlaceTwips = 100;

struct Key
{
    const char *text;
    int length;
};
// The key each of the first six items must carry, by position.
constexpr Key kKeys[6] = {{"Datos:", 6},       {"Impresora:", 10}, {"Puerto:", 7},
                          {"80Columnas:", 11}, {"Serial:", 7},     {"Caja:", 5}};

// Paths as the operator's system writes them, whatever separator the robot used.
QString shownPath(const QString &path)
{
    return core::FileLayer::nativePath(path);
}

QString trimBlanks(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}
} // namespace

Startup::Startup(core::RobotState &state, core::Settings &settings, db::ListSources &lists,
                 core::WindowServices &window)
    : m_state(state), m_settings(settings), m_lists(lists), m_window(window)
{
}

Startup::~Startup() = default;

std::unique_ptr<core::InstanceLock> Startup::takeLock()
{
    return std::move(m_lock);
}

QString Startup::configurationPath(const QString &programDir)
{
    return programDir + QStringLiteral("\\Vextora.inf");
}

core::ExitStatus Startup::run(const QString &programDir)
{
    // 1. The program directory becomes the working directory.
    const QString dir = QFileInfo(programDir).absoluteFilePath();
    if (!QFileInfo(dir).isDir()) {
        m_window.messageBox(core::texts::directoryMissing(QDir::toNativeSeparators(dir)));
        return core::ExitStatus::DirectoryStop;
    }
    if (!QDir::setCurrent(dir)) {
        m_window.messageBox(
            core::texts::unreadableConfiguration(shownPath(configurationPath(dir))));
        return core::ExitStatus::DirectoryStop;
    }
    m_state.RutaPrograma = QDir::cleanPath(dir);
    QString refusal;
    m_settings =
        core::Settings::load(QDir(dir).filePath(QStringLiteral("robot-fiscal.ini")), &refusal);
    if (!refusal.isEmpty()) {
        m_window.messageBox(refusal);
        return core::ExitStatus::ConfigurationStop;
    }

    // 2. Configuration. A [database] Url puts the main database on a server.
    if (!LeerConfiguracion())
        return core::ExitStatus::ConfigurationStop;
    if (!m_settings.databaseUrl.isEmpty()) {
        QString why;
        if (!db::PostgresUrl::parse(m_settings.databaseUrl, &why)) {
            m_window.messageBox(core::texts::unusableValue(
                QStringLiteral("[database] Url"),
                db::PostgresUrl::withoutPassword(m_settings.databaseUrl), why));
            return core::ExitStatus::ConfigurationStop;
        }
        m_state.RutaBaseDatos = m_settings.databaseUrl;
    }

    // 3. Maintenance marker.
    if (!ChequeoExistenciaArchivo(m_state.DirectorioDatos +
                                  QStringLiteral("\\KardolenTerminalUpd.inf"))) {
        m_window.messageBox(core::texts::kMaintenance);
        return core::ExitStatus::MaintenanceStop;
    }

    // 4. to 8.
    m_state.PrimeraActivacion = true;
    PrepararFormulario();
    m_state.ModoCantidad = 0;
    m_state.RutaBaseLocal = m_state.RutaPrograma + QStringLiteral("\\Vextora.dba");
    m_lists.Data3.setDatabaseName(m_state.RutaBaseDatos);
    m_lists.Data3.setRecordSource(db::SqlTexts::companySettings());
    m_lists.Data5.setDatabaseName(m_state.RutaBaseDatos);
    m_lists.Data6.setDatabaseName(m_state.RutaBaseDatos);
    m_lists.Data7.setDatabaseName(m_state.RutaBaseLocal);
    m_lists.Data5.setRecordSource(db::SqlTexts::pendingInvoices(m_state.Caja));
    m_lists.Data6.setRecordSource(db::SqlTexts::pendingCreditNotes(m_state.Caja));
    m_lists.Data7.setRecordSource(db::SqlTexts::pendingTickets(m_state.Caja));
    for (db::ListSource *source : {&m_lists.Data3, &m_lists.Data5, &m_lists.Data6, &m_lists.Data7})
        source->setShortDateFormat(m_settings.shortDateFormat);
    m_state.UltimaFactura = 0;
    m_state.UltimaNotaCredito = 0;

    // 9. Another copy on this program directory ends this one silently.
    m_lock = std::make_unique<core::InstanceLock>(m_state.RutaPrograma);
    if (!m_lock->tryLock()) {
        m_lock.reset();
        m_window.setTitle(core::texts::kDoNotRun);
        return core::ExitStatus::AnotherCopyStop;
    }
    if (m_lock->tookOverStale())
        m_window.notice(core::texts::staleLockTakenOver(
            shownPath(QDir(m_state.RutaPrograma).filePath(core::InstanceLock::fileName()))));
    // Register 0 may be meant, but a line lost or moved is the likelier cause:
    // the robot runs as configured, and says so.
    if (!m_machineRead) {
        const QString text = core::texts::noMachine(configurationPath(m_state.RutaPrograma));
        m_window.setLog(text);
        m_window.notice(text);
    }
    return core::ExitStatus::Running;
}

bool Startup::LeerConfiguracion()
{
    m_state.Columnas80 = false;
    m_state.Caja = 0;
    m_machineRead = false;

    const QString path = configurationPath(m_state.RutaPrograma);
    QFile file(core::FileLayer::localPath(path));
    if (QFileInfo(file.fileName()).isDir() || !file.open(QIODevice::ReadOnly)) {
        m_window.messageBox(core::texts::unreadableConfiguration(shownPath(path)));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_window.messageBox(core::texts::unreadableConfiguration(shownPath(path)));
        return false;
    }
    file.close();

    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = core::CodePage(m_settings.codePage).toUnicode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    const QStringList items = core::ConfigItemReader::items(text);
    for (int i = 0; i < items.size() && i < 6; ++i) {
        if (!handleItem(i + 1, items[i]))
            return false;
    }
    if (m_state.Puerto.isEmpty())
        m_state.Puerto = QStringLiteral("COM1");
    return true;
}

bool Startup::handleItem(int position, const QString &item)
{
    const Key &key = kKeys[position - 1];
    if (!item.contains(QLatin1String(key.text)))
        return true;
    const QString raw = item.mid(key.length);
    const QString value = trimBlanks(raw);
    // The 80-column key alone counts even without a value: only -1 leaves it off.
    if (position == 4) {
        m_state.Columnas80 = value != QLatin1String("-1");
        return true;
    }
    if (value.isEmpty())
        return true;
    switch (position) {
    case 1:
        // The path keeps the value as written; the marker's directory is trimmed.
        m_state.RutaBaseDatos = raw + QStringLiteral("Base de Datos.dba");
        m_state.DirectorioDatos = value;
        break;
    case 2: {
        const std::optional<core::PrinterType> type = core::parsePrinterType(value);
        if (!type) {
            m_window.messageBox(core::texts::kPrinterTypeMissing);
            return false;
        }
        m_state.TipoImpresora = *type;
        break;
    }
    case 3:
        m_state.Puerto = value;
        break;
    case 5:
        m_state.Serial = value;
        break;
    case 6: {
        bool ok = false;
        const int machine = value.toInt(&ok);
        if (!ok) {
            m_window.messageBox(core::texts::machineNotANumber(
                value, shownPath(configurationPath(m_state.RutaPrograma))));
            return false;
        }
        m_state.Caja = machine;
        m_machineRead = true;
        break;
    }
    default:
        break;
    }
    return true;
}

bool Startup::ChequeoExistenciaArchivo(const QString &fileName)
{
    const QString path = core::FileLayer::localPath(fileName);
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile() && !info.isHidden();
}

void Startup::PrepararFormulario()
{
    m_window.prepareForm(kFormColour, kFormPlaceTwips, kFormPlaceTwips);
}

} // namespace robot
