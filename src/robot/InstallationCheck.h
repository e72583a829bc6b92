#pragma once

#include <QList>
#include <QString>

namespace robot {

// `robot-fiscal verificar`: an installation checked before it is started, or
// while it runs, one line per check. Nothing is written to a database; the
// port is opened (and a status read) only when no robot holds the directory.
class InstallationCheck
{
public:
    enum class Result { Passed, Failed, Skipped };
    struct Line
    {
        Result result;
        QString subject; // what was checked
        QString detail;  // what was found, or why it fails
        // "OK subject: detail", "FALLA ..." or "OMITIDA ...".
        QString text() const;
    };

    // Every check, in the order the robot's start-up meets them. Makes the
    // program directory the working directory, as the robot does: the driver
    // library works there.
    static QList<Line> run(const QString &programDir);
};

} // namespace robot
