#include "robot/FirstActivation.h"

#include "core/Formatting.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "db/Database.h"
#include "db/SqlTexts.h"

#include <QDate>

namespace robot {

FirstActivation::FirstActivation(core::RobotState &state, const core::Settings &settings,
                                 core::WindowServices &window, db::ListSources &lists,
                                 const core::Clock &clock)
    : m_state(state), m_settings(settings), m_window(window), m_lists(lists), m_clock(clock)
{
}

void FirstActivation::run()
{
    if (!m_state.PrimeraActivacion || m_running)
        return;
    m_running = true;
    LeerTasas();
    m_state.Alterna = false;
    m_state.TicksSinFactura = 0;
    purgeTickets();
    m_state.DatosIcono.id = 1;
    m_state.DatosIcono.tip = core::texts::kTrayTip;
    m_window.minimizeToTray(m_state.DatosIcono);
    m_clock.DelayMili(500);
    readCompanySettings();
    m_running = false;
}

bool FirstActivation::retrySettings()
{
    if (m_running)
        return settingsRead();
    if (!m_ratesRead)
        LeerTasas();
    if (!m_companySettingsRead)
        readCompanySettings();
    return settingsRead();
}

bool FirstActivation::readCompanySettings()
{
    try {
        // Start-up already ran the settings query; only a missing row is read again.
        if (m_lists.Data3.recordCount() == 0)
            m_lists.Data3.refresh();
        const db::RecordSet &rs = m_lists.Data3.recordset();
        if (rs.recordCount() == 0)
            throw db::DataError(db::DataError::Kind::Value, core::texts::kNoConfigurationRow,
                                m_lists.Data3.recordSource());
        const QVariant rif = rs.field(QStringLiteral("RIFCompañía"));
        const QVariant showQuantity = rs.field(QStringLiteral("VerCantidad"));
        const QVariant showDecimalQuantity = rs.field(QStringLiteral("VerCantidadDecimal"));
        const QVariant useInternalPrinting = rs.field(QStringLiteral("UsarImpresiónFacturaInt"));
        // A null RIF counts as empty.
        const QString rifText = rif.isNull() ? QString() : rif.toString();
        m_window.setTitle(
            core::texts::titleWithRif(m_window.title(), core::Formatting::Decoro_RIF(rifText)));
        m_state.RifCompania = rifText;
        m_state.PrimeraActivacion = false;
        const auto flag = [](const QVariant &v, bool wanted) {
            return wanted ? db::RecordSet::isTrue(v) : db::RecordSet::isFalse(v);
        };
        if (flag(showQuantity, true) && flag(showDecimalQuantity, false))
            m_state.ModoCantidad = 1;
        else if (flag(showQuantity, false) && flag(showDecimalQuantity, true))
            m_state.ModoCantidad = 2;
        else if (flag(showQuantity, true) && flag(showDecimalQuantity, true))
            m_state.ModoCantidad = 3;
        m_state.UsarImpresionFacturaInt = db::RecordSet::isTrue(useInternalPrinting);
        m_window.setControlEnabled(core::Control::Template, false);
        m_companySettingsRead = true;
    } catch (const db::DataError &e) {
        report(core::texts::databaseError(e.describe()));
        return false;
    }
    return true;
}

void FirstActivation::report(const QString &text)
{
    if (m_report) {
        m_report(text);
        return;
    }
    m_window.setStatus(text);
    m_window.setLog(text);
    m_window.notice(text);
}

void FirstActivation::LeerTasas()
{
    m_state.TasaMaqFiscal1 = 16.0;
    m_state.TasaMaqFiscal2 = 8.0;
    m_state.TasaMaqFiscal3 = 31.0;
    try {
        auto db = db::Database::open(m_state.RutaBaseDatos, m_settings.shortDateFormat);
        db::RecordSet rs = db->openRecordset(db::SqlTexts::taxRates());
        m_ratesRead = true;
        if (rs.recordCount() < 1)
            return;
        double *const rates[] = {&m_state.TasaMaqFiscal1, &m_state.TasaMaqFiscal2,
                                 &m_state.TasaMaqFiscal3};
        const char *const columns[] = {"TasaMaqFiscal1", "TasaMaqFiscal2", "TasaMaqFiscal3"};
        for (int i = 0; i < 3; ++i) {
            // Each rate on its own: a missing column or a text leaves it as it was.
            try {
                const QVariant v = rs.field(QLatin1String(columns[i]));
                bool ok = false;
                const double rate = v.toDouble(&ok);
                if (!v.isNull() && ok)
                    *rates[i] = rate;
            } catch (const db::DataError &) {
            }
        }
    } catch (const db::DataError &e) {
        // A table that is not there leaves the defaults, as an empty one does.
        // A database out of reach may hold other rates: every sale would be
        // printed with the wrong positions, so nothing prints until they are read.
        m_ratesRead =
            e.kind() != db::DataError::Kind::Open && e.kind() != db::DataError::Kind::Busy;
        if (!m_ratesRead)
            report(core::texts::databaseError(e.describe()));
    }
}

void FirstActivation::purgeTickets()
{
    try {
        auto db = db::Database::open(m_state.RutaBaseLocal, m_settings.shortDateFormat);
        db->execute(db::SqlTexts::purgeTickets(m_clock.now().date(), m_settings.shortDateFormat));
        db->close();
    } catch (const db::DataError &e) {
        report(core::texts::databaseError(e.describe()));
    }
}

} // namespace robot
