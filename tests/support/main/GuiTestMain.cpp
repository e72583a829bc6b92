#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocale>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Venezuela));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto app = std::make_unique<QApplication>(argc, argv);
    const int status = RUN_ALL_TESTS();
    // Painting starts Qt's raster worker threads. The application stops them
    // as it ends, but a worker may still be freeing its thread data when the
    // process exits; the leak checker then reports that data. Let them end.
    app.reset();
    const QDeadlineTimer deadline(2000);
    const auto threads = [] {
        return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    };
    while (threads().size() > 1 && !deadline.hasExpired())
        QThread::msleep(1);
    return status;
}
