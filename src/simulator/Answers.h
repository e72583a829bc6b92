#pragma once

#include "FiscalMemory.h"
#include "Settings.h"

#include <QDateTime>
#include <QString>

namespace sim {

// The answer files of the upload calls: fixed-width fields, every line
// followed by CR LF. The robot reads its numbers at fixed character
// positions counted over the whole text, CR LFs included.
class Answers
{
public:
    // "S1". First line, 1-based columns:
    //   1-2 "S1"; 3-4 cashier; 5-21 sales of the day in cents;
    //   22-29 last invoice; 30-34 invoices of the day;
    //   35-42 last credit note; 43-47 credit notes of the day;
    //   48-51 last Z; 52-57 date ddmmyy; 58-63 time hhmmss; 64-73 serial.
    static QString status(const FiscalMemory &memory, const Settings &settings,
                          const QDateTime &now);

    // "U0X": the X report's counters. HKA and SAMSUNG: four lines of 40
    // characters, so the fifth line, which starts with the last credit
    // note, begins at character 169. DASCOM: a first line of 38 characters,
    // so the second line, which starts with it, begins at character 41.
    static QString xReport(const FiscalMemory &memory, const Settings &settings,
                           const QDateTime &now);
};

} // namespace sim
