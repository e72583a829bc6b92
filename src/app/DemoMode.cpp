#include "app/DemoMode.h"

#include "core/Texts.h"
#include "robot/DemoInstallation.h"
#include "robot/EmptyInstallation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace app {

core::ExitStatus DemoMode::run(int &argc, char **argv, const QString &dir,
                               const QString &printerType, const QString &databaseUrl)
{
    QCoreApplication app(argc, argv);
    // Beside the executable in a build, in the package's library directory once installed.
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString name = robot::DemoInstallation::simulatorLibraryName();
    QString library = bin.filePath(name);
    if (!QFileInfo::exists(library))
        library = QDir::cleanPath(bin.filePath(QStringLiteral("../lib/robot-fiscal/") + name));
    const QString failure = robot::DemoInstallation::create(dir, printerType, library, databaseUrl);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return core::ExitStatus::DemoNotCreated;
    }
    std::printf("%s\n", qPrintable(core::texts::demoCreated(
                            QDir::toNativeSeparators(QFileInfo(dir).absoluteFilePath()))));
    return core::ExitStatus::Done;
}

core::ExitStatus DemoMode::init(int &argc, char **argv, const QString &dir,
                                const QString &printerType, const QString &databaseUrl)
{
    QCoreApplication app(argc, argv);
    const QString failure = robot::EmptyInstallation::create(dir, printerType, databaseUrl);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return core::ExitStatus::DemoNotCreated;
    }
    std::printf("%s\n", qPrintable(core::texts::installationCreated(
                            QDir::toNativeSeparators(QFileInfo(dir).absoluteFilePath()))));
    return core::ExitStatus::Done;
}

} // namespace app
