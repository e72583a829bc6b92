#include "core/PrinterType.h"

namespace core {

namespace {
constexpr struct
{
    PrinterType type;
    const char *name;
} kNames[] = {{PrinterType::Unset, ""},
              {PrinterType::Hka, "HKA"},
              {PrinterType::Samsung, "SAMSUNG"},
              {PrinterType::Dascom, "DASCOM"}};
} // namespace

std::optional<PrinterType> parsePrinterType(const QString &name)
{
    for (const auto &n : kNames) {
        if (n.type != PrinterType::Unset && name == QLatin1String(n.name))
            return n.type;
    }
    return std::nullopt;
}

QString printerTypeName(PrinterType type)
{
    for (const auto &n : kNames) {
        if (n.type == type)
            return QLatin1String(n.name);
    }
    return QString();
}

} // namespace core
