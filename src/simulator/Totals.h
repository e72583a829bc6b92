#pragma once

#include "FiscalMemory.h"

#include <QList>
#include <array>

namespace sim {

// The sums of a document, in cents. Each line is price × quantity rounded
// half up to the cent; the discount and the tax are taken per rate on that
// rate's sum and rounded half up once there, so the paper's lines add up to
// its total exactly.
class Totals
{
public:
    // `rates`: rates 1 to 3 in hundredths of a per cent.
    Totals(const Document &document, const QList<int> &rates);

    static qint64 lineAmount(const Item &item);
    // a × b / d rounded half up, for non-negative values.
    static qint64 mulDivRound(qint64 a, qint64 b, qint64 d);

    std::array<qint64, 4> gross{};    // items by rate
    std::array<qint64, 4> discount{}; // subtotal discount by rate
    std::array<qint64, 4> base{};     // gross less discount
    std::array<qint64, 4> tax{};
    std::array<int, 4> rate{}; // hundredths of a per cent; 0 for exempt
    qint64 paid = 0;

    qint64 subtotal() const;
    qint64 discountTotal() const;
    qint64 taxTotal() const;
    qint64 total() const;
    qint64 due() const { return total() > paid ? total() - paid : 0; }
    qint64 change() const { return paid > total() ? paid - total() : 0; }
};

} // namespace sim
