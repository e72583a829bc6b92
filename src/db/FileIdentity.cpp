#include "db/FileIdentity.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace db {

FileIdentity FileIdentity::of(const QString &path)
{
    FileIdentity id;
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return id;
    id.exists = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = st.st_size;
    id.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return id;
    id.exists = true;
    id.inode = info.birthTime().toMSecsSinceEpoch();
    id.size = info.size();
    id.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return id;
}

} // namespace db
