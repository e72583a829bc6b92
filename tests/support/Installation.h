#pragma once

#include "support/MainDatabase.h"
#include "support/TestDir.h"

#include <memory>

namespace testsupport {

// A complete program directory for the real binary: configuration, marker,
// settings pointing at the built simulator, main and local databases.
class Installation
{
public:
    explicit Installation(const QString &printerType = QStringLiteral("HKA"),
                          const QByteArray &simIni = QByteArray(), double scale = 0.01);

    const TestDir &dir() const { return m_dir; }
    QString path() const { return m_dir.path(); }
    MainDatabase &db() { return *m_main; }
    MainDatabase &local() { return *m_local; }
    void writeSimIni(const QByteArray &extra) const;

    // The simulator's journal: SendCmd commands, in order.
    QStringList sentCommands() const;
    QStringList journalEntries() const;

private:
    TestDir m_dir;
    QString m_type;
    std::unique_ptr<MainDatabase> m_main;
    std::unique_ptr<MainDatabase> m_local;
};

} // namespace testsupport
