#pragma once

#include "db/ListSource.h"

namespace db {

// The window's list sources that the robot reads: Data3 holds the company
// settings, Data5, Data6 and Data7 the pending invoices, credit notes and
// tickets.
struct ListSources
{
    ListSource Data3, Data5, Data6, Data7;
};

} // namespace db
