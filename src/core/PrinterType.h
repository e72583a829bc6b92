#pragma once

#include <QString>
#include <optional>

namespace core {

// "Impresora:" of the configuration file, read once at start-up; Unset when
// the file names none.
enum class PrinterType { Unset, Hka, Samsung, Dascom };

// The configuration file's names, case and all: HKA, SAMSUNG, DASCOM; Unset
// is written as an empty name and never read from one.
std::optional<PrinterType> parsePrinterType(const QString &name);
QString printerTypeName(PrinterType type);

// The credit note's header and payments and the place of its number in the
// U0X answer have two forms: HKA's, which SAMSUNG shares, and DASCOM's, which
// any other type takes as well. The invoice's payment rows are DASCOM's alone.
inline bool usesDascomForm(PrinterType type)
{
    return type != PrinterType::Hka && type != PrinterType::Samsung;
}

} // namespace core
