#pragma once

#include <QString>

namespace core {

// Paths as the configuration file and the robot's fixed texts write them:
// '\' or '/' as separator, doubled separators allowed.
class FileLayer
{
public:
    // The same path with the platform's separators and no doubled ones.
    static QString localPath(const QString &path);
    // localPath in the platform's own notation, for the driver library.
    static QString nativePath(const QString &path);
};

} // namespace core
