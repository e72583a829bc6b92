#include "Totals.h"

#include <numeric>

namespace sim {

namespace {

qint64 sum(const std::array<qint64, 4> &a)
{
    return std::accumulate(a.begin(), a.end(), qint64(0));
}

} // namespace

Totals::Totals(const Document &document, const QList<int> &rates)
{
    for (int r = 1; r < 4; ++r)
        rate[r] = r - 1 < rates.size() ? rates[r - 1] : 0;
    for (const Item &item : document.items)
        gross[qBound(0, item.rate, 3)] += lineAmount(item);
    for (int r = 0; r < 4; ++r) {
        if (document.discount > 0)
            discount[r] = mulDivRound(gross[r], document.discount, 10000);
        base[r] = gross[r] - discount[r];
        tax[r] = mulDivRound(base[r], rate[r], 10000);
    }
    for (const Payment &p : document.payments)
        paid += p.amount;
}

qint64 Totals::lineAmount(const Item &item)
{
    return mulDivRound(item.price, item.quantity, 1000);
}

qint64 Totals::mulDivRound(qint64 a, qint64 b, qint64 d)
{
    // Split a so that the products stay far inside 64 bits for any field
    // the commands can carry.
    const qint64 whole = a / d;
    const qint64 rest = a % d;
    return whole * b + (rest * b * 2 + d) / (2 * d);
}

qint64 Totals::subtotal() const
{
    return sum(gross);
}

qint64 Totals::discountTotal() const
{
    return sum(discount);
}

qint64 Totals::taxTotal() const
{
    return sum(tax);
}

qint64 Totals::total() const
{
    return sum(base) + sum(tax);
}

} // namespace sim
