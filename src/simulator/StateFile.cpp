#include "StateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
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
    // QSaveFile writes beside the file and renames over it; the data is
    // forced to disk before the rename and the rename itself after it.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = memory.toJson();
    if (file.write(bytes) != bytes.size() || !file.commit())
        return false;
#ifdef Q_OS_UNIX
    const QByteArray dir = QFile::encodeName(QFileInfo(m_path).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
#endif
    return true;
}

} // namespace sim
