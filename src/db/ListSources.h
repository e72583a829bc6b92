#pragma once

#include "db/ListSource.h"

namespace db {

// The window's seven list sources. Data3 holds the company settings, Data5,
// Data6 and Data7 the pending invoices, credit notes and tickets.
struct ListSources
{
    ListSource Data1, Data2, Data3, Data4, Data5, Data6, Data7;
};

} // namespace db
