#pragma once

#include <QString>

namespace robot {

// The SQL of the three pending lists and of the company settings, for the
// register (and fiscal machine) number `caja`.
class PendingQueries
{
public:
    static QString facturas(qint32 caja);
    static QString notasCredito(qint32 caja);
    static QString tickets(qint32 caja);
    static QString configuracion();
};

} // namespace robot
