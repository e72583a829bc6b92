#include <QCoreApplication>
#include <QLocale>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Venezuela));
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
