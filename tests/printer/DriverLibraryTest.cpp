#include "printer/DriverLibrary.h"
#include "support/QtPrinters.h"
#include "support/TestDir.h"

#include <QFile>
#include <gtest/gtest.h>

using printer::DriverLibrary;

TEST(DriverLibrary, RefusesWhatIsNotADriverWithTheOperatorsMessage)
{
    testsupport::TestDir dir;
    dir.write(QStringLiteral("notalibrary.so"), "garbage");
    // The message's start: the loader's own reason follows.
    const std::pair<const char *, const char *> cases[] = {
        {"TFHKAIF", "No se pudo cargar la biblioteca de la impresora fiscal TFHKAIF.\r"},
        {"./notalibrary.so",
         "No se pudo cargar la biblioteca de la impresora fiscal ./notalibrary.so.\r"},
        {"libsqlite3.so.0",
         "La biblioteca de la impresora fiscal libsqlite3.so.0 no tiene la función OpenFpctrl."}};
    for (const auto &[library, message] : cases) {
        QString error;
        EXPECT_EQ(DriverLibrary::load(QString::fromUtf8(library), dir.path(), &error), nullptr);
        EXPECT_TRUE(error.startsWith(QString::fromUtf8(message))) << qPrintable(error);
    }
    QFile::copy(QStringLiteral(FISCALSIM_LIBRARY), dir.file(QStringLiteral("driver.so")));
    for (const char *path : {FISCALSIM_LIBRARY, "driver.so", ".\\driver.so"})
        EXPECT_NE(DriverLibrary::load(QString::fromUtf8(path), dir.path(), nullptr), nullptr)
            << path;
}
