#include "printer/DriverLibrary.h"

#include "core/FileLayer.h"
#include "core/Texts.h"

#include <QDir>
#include <QFileInfo>

namespace printer {

std::unique_ptr<DriverLibrary> DriverLibrary::load(const QString &nameOrPath,
                                                   const QString &programDir, QString *error)
{
    std::unique_ptr<DriverLibrary> lib(new DriverLibrary);
    const QString local = core::FileLayer::localPath(nameOrPath);
    const bool isPath = local.contains(QLatin1Char('/'));
    QString target = local;
    if (isPath && QFileInfo(local).isRelative())
        target = QDir(programDir).filePath(local);
    else if (!isPath) {
        // A plain name: beside the program first, then the system's search.
        for (const QString &candidate :
             {QStringLiteral("lib") + local + QStringLiteral(".so"), local + QStringLiteral(".so"),
              local + QStringLiteral(".dll"), local}) {
            const QString there = QDir(programDir).filePath(candidate);
            if (QFileInfo(there).isFile()) {
                target = there;
                break;
            }
        }
    }
    lib->m_library.setFileName(target);
    if (!lib->m_library.load()) {
        if (error)
            *error = core::texts::libraryNotLoaded(nameOrPath, lib->m_library.errorString());
        return nullptr;
    }
    struct Entry
    {
        const char *name;
        QFunctionPointer *slot;
    };
    const Entry entries[] = {
        {"OpenFpctrl", reinterpret_cast<QFunctionPointer *>(&lib->m_open)},
        {"CloseFpctrl", reinterpret_cast<QFunctionPointer *>(&lib->m_close)},
        {"SendCmd", reinterpret_cast<QFunctionPointer *>(&lib->m_send)},
        {"UploadStatusCmd", reinterpret_cast<QFunctionPointer *>(&lib->m_uploadStatus)},
        {"UploadReportCmd", reinterpret_cast<QFunctionPointer *>(&lib->m_uploadReport)},
    };
    for (const Entry &e : entries) {
        *e.slot = lib->m_library.resolve(e.name);
        if (!*e.slot) {
            if (error)
                *error = core::texts::libraryWithoutEntry(nameOrPath, QString::fromLatin1(e.name));
            lib->m_library.unload();
            return nullptr;
        }
    }
    return lib;
}

DriverLibrary::~DriverLibrary()
{
    // The library stays mapped: a driver may keep threads or handlers of its own.
}

int DriverLibrary::OpenFpctrl(const char *port)
{
    return m_open(port);
}

int DriverLibrary::CloseFpctrl()
{
    return m_close();
}

int DriverLibrary::SendCmd(int *status, int *error, const char *command)
{
    return m_send(status, error, command);
}

int DriverLibrary::UploadStatusCmd(int *status, int *error, const char *command, const char *file)
{
    return m_uploadStatus(status, error, command, file);
}

int DriverLibrary::UploadReportCmd(int *status, int *error, const char *command, const char *file)
{
    return m_uploadReport(status, error, command, file);
}

} // namespace printer
