#pragma once

// Qt texts as text in failure messages, not as byte dumps. GoogleTest finds
// these by argument-dependent lookup; every support header includes this one.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QByteArray &b, std::ostream *os)
{
    *os << '"' << b.toStdString() << '"';
}

inline void PrintTo(const QVariant &v, std::ostream *os)
{
    *os << (v.isValid() ? v.typeName() : "invalid") << '(' << v.toString().toStdString() << ')';
}
