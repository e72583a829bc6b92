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
    // [timing] WakeOnChange: a change of the main database runs the tick at
    // once; "no" (or false, 0, off) leaves the robot on its ticks alone.
    bool wakeOnChange = true;
    // [timing] PrinterProbe: minutes between two status reads of an idle
    // printer (scaled), so that one that stops answering is told before a
    // sale meets it; 0 reads it only for documents and reports.
    double printerProbeMinutes = 5.0;
    // [database] Url: empty for the SQLite file that Vextora.inf names,
    // otherwise the PostgreSQL main database's URL, as written.
    QString databaseUrl;

    // Reads the file; a missing file gives the defaults. A value the robot
    // cannot use (a Scale that is not a number between kMinScale and
    // kMaxScale, a CodePage that is not an 8-bit one) sets `refusal` to the
    // operator's message, naming the key and the value.
    static Settings load(const QString &iniPath, QString *refusal = nullptr);

    // Faster than a tick every 2.5 ms is a busy loop; slower than one every
    // 250 s, with the first activation's pause of 500 s, is a robot that
    // seems never to print.
    static constexpr double kMinScale = 0.001;
    static constexpr double kMaxScale = 100.0;
    // A day: a probe further apart than that would tell nothing in time.
    static constexpr double kMaxProbeMinutes = 1440.0;
};

} // namespace core
