#include "db/PostgresUrl.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(PostgresUrl, ReadAsLibpqReadsItAndRefusedWithAReason)
{
    const struct
    {
        const char *url;
        const char *option; // expected in the connect options; null: refused
    } cases[] = {
        {"postgresql://caja@%2Fvar%2Frun%2Fpostgresql:5433/ventas", "host='/var/run/postgresql'"},
        {"postgresql://caja@/ventas?host=/tmp/pg&sslmode=require", "sslmode='require'"},
        {"postgres://caja@h1:5432,h2:5433/ventas", "port='5432,5433'"},
        {"postgresql://caja@db/ventas?options=-c%20lock_timeout%3D9s",
         "options='-c lock_timeout=5000 -c lock_timeout=9s'"},
        {"postgresql://caja:secreto@db/ventas", nullptr},
        {"postgresql://caja@db/ventas?password=secreto", nullptr},
        {"postgresql://caja@db:puerto/ventas", nullptr},
        {"postgresql://caja@db/ventas?desconocida=1", nullptr},
        {"mysql://caja@db/ventas", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url);
        QString why;
        const auto url = db::PostgresUrl::parse(QString::fromUtf8(c.url), &why);
        EXPECT_EQ(url.has_value(), c.option != nullptr) << qPrintable(why);
        if (url) {
            EXPECT_TRUE(
                url->connectOptions({{QStringLiteral("lock_timeout"), QStringLiteral("5000")}})
                    .contains(QString::fromUtf8(c.option)))
                << qPrintable(url->connectOptions());
        } else {
            EXPECT_FALSE(why.isEmpty());
        }
    }
}
