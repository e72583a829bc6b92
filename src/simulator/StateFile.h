#pragma once

#include "FiscalMemory.h"

#include <QString>

namespace sim {

// fiscalsim.state: the fiscal memory on disk. A save replaces the file in
// one step, so a power cut leaves either the old memory or the new one.
class StateFile
{
public:
    explicit StateFile(const QString &dir);

    QString path() const { return m_path; }
    bool exists() const;
    bool load(FiscalMemory *memory) const;
    bool save(const FiscalMemory &memory) const;

private:
    QString m_path;
};

} // namespace sim
