#pragma once

#include <QByteArray>
#include <QString>
#include <QStringConverter>

namespace core {

// The 8-bit code page of the texts the driver library takes. A character the
// code page cannot hold becomes '?'.
class CodePage
{
public:
    explicit CodePage(const QString &name = QStringLiteral("windows-1252"));

    bool isValid() const { return m_valid; }
    // A code page the driver can take: known, one byte for every character
    // and the printable ASCII characters as themselves (the commands' own
    // letters and digits). UTF-8, UTF-16 and the Asian double-byte pages are not.
    bool isEightBit() const { return m_eightBit; }
    const QString &name() const { return m_name; }

    QByteArray fromUnicode(const QString &text) const;
    QString toUnicode(const QByteArray &bytes) const;

private:
    QString m_name;
    QByteArray m_nameBytes;
    bool m_valid = false;
    bool m_eightBit = false;
};

} // namespace core
