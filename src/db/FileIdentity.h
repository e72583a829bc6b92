#pragma once

#include <QString>

namespace db {

// What tells one file from another that took its name, or from itself
// before a write: its device and inode, size and modification time.
struct FileIdentity
{
    bool exists = false;
    quint64 device = 0, inode = 0;
    qint64 size = 0, modifiedNs = 0;

    static FileIdentity of(const QString &path);
    bool operator==(const FileIdentity &) const = default;
};

} // namespace db
