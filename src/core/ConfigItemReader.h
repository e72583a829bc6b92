#pragma once

#include <QString>
#include <QStringList>

namespace core {

// Splits the configuration file into its items: an item ends at a comma or at
// the end of a line, blanks before an item are skipped, an item that begins
// with a double quote runs to the closing quote, an empty line is an empty item.
class ConfigItemReader
{
public:
    static QStringList items(const QString &text);
};

} // namespace core
