#include "printer/DriverLibrary.h"
#include "support/TestDir.h"

#include <QFile>
#include <gtest/gtest.h>

using printer::DriverLibrary;

TEST(DriverLibrary, RefusesWhatIsNotADriverWithAMessageNamingIt)
{
    testsupport::TestDir dir;
    dir.write(QStringLiteral("notalibrary.so"), "garbage");
    const struct
    {
        QString library;
        QString mustName;
    } cases[] = {
        {QStringLiteral("TFHKAIF"), QStringLiteral("TFHKAIF")},
        {QStringLiteral("./notalibrary.so"), QStringLiteral("./notalibrary.so")},
        // A real library without the driver's entries.
        {QStringLiteral("libsqlite3.so.0"), QStringLiteral("OpenFpctrl")},
    };
    for (const auto &c : cases) {
        QString error;
        EXPECT_EQ(DriverLibrary::load(c.library, dir.path(), &error), nullptr)
            << qPrintable(c.library);
        EXPECT_TRUE(error.contains(c.mustName)) << qPrintable(error);
    }
}

TEST(DriverLibrary, LoadsTheSimulatorByAbsoluteOrRelativePath)
{
    testsupport::TestDir dir;
    QFile::copy(QStringLiteral(FISCALSIM_LIBRARY), dir.file(QStringLiteral("driver.so")));
    for (const QString &path : {QStringLiteral(FISCALSIM_LIBRARY), QStringLiteral("driver.so"),
                                QStringLiteral(".\\driver.so")}) {
        QString error;
        EXPECT_NE(DriverLibrary::load(path, dir.path(), &error), nullptr)
            << qPrintable(path) << " " << qPrintable(error);
    }
}
