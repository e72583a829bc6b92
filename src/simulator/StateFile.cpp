#include "StateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cstdio>
#include <unistd.h>
#endif

namespace sim {

StateFile::StateFile(const QString &dir)
    : m_path(QDir(dir).filePath(QStringLiteral("fiscalsim.state")))
{
}

bool StateFile::exists() const
{
    return QFileInfo::exists(m_path);
}

bool StateFile::load(FiscalMemory *memory) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return FiscalMemory::fromJson(file.readAll(), memory);
}

bool StateFile::save(const FiscalMemory &memory) const
{
    // Written beside the file and renamed over it: a process killed at any
    // moment leaves the old memory or the new one, never half of either.
    // The printer's memory is its own device, not the computer's disk, so
    // nothing is forced to disk here: a killed process loses nothing that
    // the kernel already holds.
    const QString temporary = m_path + QStringLiteral(".new");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = memory.toJson();
    if (file.write(bytes) != bytes.size() || !file.flush())
        return false;
    file.close();
    return ::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(m_path).constData()) == 0;
}

} // namespace sim
