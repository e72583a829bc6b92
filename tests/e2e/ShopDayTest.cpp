// Seeded days of a shop against the real robot, faults and all. By hand:
//   SHOPDAY_SEED=N       replays that one day
//   SHOPDAY_DAYS=N       runs N days (2) from SHOPDAY_BASE, by default the first
//                        seed whose N days hold between them every kind of event
//   SHOPDAY_LENGTH=N     events a day (30)
//   SHOPDAY_KINDS=sale,kill,... only those kinds of event
//   SHOPDAY_VERBOSE=1    a failed day's robot output and paper roll too
#include "support/ShopDay.h"
#include "support/PostgresCluster.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <iostream>

using testsupport::Engine;
using testsupport::ShopDayPlan;
using testsupport::ShopEvent;

namespace {

int setting(const char *name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

// So that every run puts each kind of fault to the robot at least once.
int firstBaseWithEveryKind(const QSet<ShopEvent::Kind> &kinds, int days, int length)
{
    for (int base = 1; base < 1000; ++base) {
        QSet<ShopEvent::Kind> seen;
        for (int seed = base; seed < base + days; ++seed) {
            const ShopDayPlan plan(quint64(seed), kinds, length);
            for (const ShopEvent &e : plan.events())
                seen << e.kind;
        }
        if (seen.contains(kinds))
            return base;
    }
    return 1;
}

using ShopDays = testsupport::OnEngine;
RUN_ON_BOTH_ENGINES(ShopDays);

TEST_P(ShopDays, EachDocumentClosedOnceAsPendingRecordedWithItsNumbersAndNothingLeft)
{
    const bool one = qEnvironmentVariableIsSet("SHOPDAY_SEED");
    const int days = one ? 1 : setting("SHOPDAY_DAYS", 2), length = setting("SHOPDAY_LENGTH", 30);
    const auto kinds = ShopDayPlan::kindsFromEnvironment();
    const int base = one ? setting("SHOPDAY_SEED", 1)
                         : setting("SHOPDAY_BASE", firstBaseWithEveryKind(kinds, days, length));
    const auto cluster =
        GetParam() == Engine::Postgres ? std::make_unique<testsupport::PostgresCluster>() : nullptr;
    for (int seed = base; seed < base + days; ++seed) {
        const ShopDayPlan plan(quint64(seed), kinds, length);
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
