// Seeded days of a shop against the real robot, faults and all. By hand:
//   SHOPDAY_SEED=N       replays that one day
//   SHOPDAY_DAYS=N       runs N days from SHOPDAY_BASE (1 by default)
//   SHOPDAY_LENGTH=N     events a day (30)
//   SHOPDAY_ALL_EVENTS=1 every kind of event; SHOPDAY_KINDS=sale,kill,... those kinds
//   SHOPDAY_VERBOSE=1    a failed day's robot output and paper roll too
#include "support/ShopDay.h"
#include "support/PostgresCluster.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <iostream>

using testsupport::Engine;
using testsupport::ShopDayPlan;

namespace {

int setting(const char *name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

using ShopDays = testsupport::OnEngine;
RUN_ON_BOTH_ENGINES(ShopDays);

TEST_P(ShopDays, EachDocumentClosedOnceAsPendingRecordedWithItsNumbersAndNothingLeft)
{
    const bool one = qEnvironmentVariableIsSet("SHOPDAY_SEED");
    const int base = one ? setting("SHOPDAY_SEED", 1) : setting("SHOPDAY_BASE", 1);
    const int days = one ? 1 : setting("SHOPDAY_DAYS", 2);
    const auto kinds = ShopDayPlan::kindsFromEnvironment();
    const auto cluster =
        GetParam() == Engine::Postgres ? std::make_unique<testsupport::PostgresCluster>() : nullptr;
    for (int seed = base; seed < base + days; ++seed) {
        const ShopDayPlan plan(quint64(seed), kinds, setting("SHOPDAY_LENGTH", 30));
        QElapsedTimer clock;
        clock.start();
        const auto day = testsupport::runShopDay(plan, GetParam(), cluster.get());
        const bool verbose = qEnvironmentVariableIsSet("SHOPDAY_VERBOSE");
        std::cout << "shop day " << seed << ": " << clock.elapsed() << " ms, "
                  << day.summary.toStdString() << ", " << day.violations.size() << " violations\n"
                  << (verbose ? (day.log + u'\n' + day.output + u'\n').toStdString() : "")
                  << std::flush;
        EXPECT_TRUE(day.violations.isEmpty())
            << "SHOPDAY_SEED=" << seed << " on " << ::testing::PrintToString(GetParam()) << "\n"
            << day.violations.join('\n').toStdString() << "\nThe day:\n"
            << day.log.toStdString();
    }
}

} // namespace
