#include "Journal.h"

#include <QFile>

namespace sim {

Journal::Journal(const QString &path) : m_path(path) {}

bool Journal::append(const QString &text) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = text.toUtf8();
    const bool ok = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    return ok;
}

} // namespace sim
