#include "core/FileLayer.h"

#include <QDir>

namespace core {

QString FileLayer::localPath(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
#ifdef Q_OS_WIN
    // Keep the two leading separators of a share name.
    const bool share = p.startsWith(QLatin1String("//"));
#else
    const bool share = false;
#endif
    QString out;
    out.reserve(p.size());
    for (qsizetype i = 0; i < p.size(); ++i) {
        if (p[i] == QLatin1Char('/') && !out.isEmpty() && out.back() == QLatin1Char('/') &&
            !(share && i == 1))
            continue;
        out += p[i];
    }
    return out;
}

QString FileLayer::nativePath(const QString &path)
{
    return QDir::toNativeSeparators(localPath(path));
}

} // namespace core
