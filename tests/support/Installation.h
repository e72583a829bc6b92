#pragma once

#include "support/MainRows.h"
#include "support/TestDir.h"

#include <QJsonObject>
#include <memory>

namespace testsupport {

// A complete program directory on the built simulator: Vextora.inf, the
// maintenance marker, robot-fiscal.ini, fiscalsim.ini, and the main and local
// databases made by the robot's own schema code.
class Installation
{
public:
    struct Setup
    {
        QString type = QStringLiteral("HKA");
        QByteArray simIni = {};   // added to fiscalsim.ini: [counters], [faults], [link]
        QByteArray robotIni = {}; // added to robot-fiscal.ini
    };
    Installation();
    explicit Installation(const Setup &setup);

    const TestDir &dir() const { return m_dir; }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.file(name); }
    MainRows &db() { return *m_rows; }
    // fiscalsim.ini afresh: the printer type and serial, then `extra`.
    void writeSimIni(const QByteArray &extra) const;

    // What the simulator was asked, one entry per call, fields split at tabs.
    QList<QStringList> simLog() const;
    // The SendCmd commands in order, " [refused]" after each one refused.
    QStringList sentCommands() const;
    QString paper() const;
    QJsonObject fiscalMemory() const;

private:
    TestDir m_dir;
    QString m_type;
    std::unique_ptr<MainRows> m_rows;
};

} // namespace testsupport
