#include "support/CoreInstallation.h"

#include "db/SqlTexts.h"

namespace testsupport {

CoreInstallation::CoreInstallation()
{
    main = std::make_unique<MainDatabase>(dir.file(QStringLiteral("Base de Datos.dba")));
    local = std::make_unique<MainDatabase>(dir.file(QStringLiteral("Vextora.dba")),
                                           QStringLiteral("local-schema.sql"));
    state.RutaBaseDatos = dir.path() + QStringLiteral("\\Base de Datos.dba");
    state.RutaBaseLocal = dir.path() + QStringLiteral("\\Vextora.dba");
    state.Caja = 1;
    state.PrimeraActivacion = true;
    lists.Data3.setDatabaseName(state.RutaBaseDatos);
    lists.Data3.setRecordSource(db::SqlTexts::configuracion());
}

} // namespace testsupport
