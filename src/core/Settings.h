#pragma once

#include <QString>
#include <QStringList>

namespace core {

// robot-fiscal.ini: what the configuration file has no place for. Read once
// at start; every key is optional and the defaults keep a plain installation.
struct Settings
{
    QString driverLibrary = QStringLiteral("TFHKAIF");
    QString RifInstalacionTickets;
    QStringList SerialesOperador;
    QString SerialOrdenCompra;
    QString shortDateFormat = QStringLiteral("dd/MM/yyyy");
    QString codePage = QStringLiteral("windows-1252");
    double timingScale = 1.0;
    // [database] Url: empty for the SQLite file that Vextora.inf names,
    // otherwise the PostgreSQL main database's URL, as written.
    QString databaseUrl;

    static Settings load(const QString &iniPath);
};

} // namespace core
