#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace sim {

// fiscalsim.ini of one directory. Every key is optional.
class Settings
{
public:
    enum class AnswerLayout { Hka, Samsung, Dascom };

    static Settings read(const QString &dir);

    AnswerLayout layout = AnswerLayout::Hka;
    QString serial = QStringLiteral("Z1B1234567");
    QString codePage = QStringLiteral("windows-1252");
    // Tax rates 1 to 3 in hundredths of a per cent (16 % = 1600).
    QList<int> rates = {1600, 800, 3100};

    int initialInvoice = 0;
    int initialCreditNote = 0;
    int initialZ = 0;

    bool openFails = false;
    QStringList refusedPrefixes;
    int refuseNth = 0;
    bool uploadFails = false;
    int uploadFailNth = 0;
    // From the Nth upload on, every one fails: a printer whose answers stop.
    int uploadFailFrom = 0;
    int loseReplyNth = 0;
    int killAfter = 0;
    // "7" with no document open is refused, as by printers that take it only
    // to cancel a document.
    bool refuse7WhenIdle = false;

    int baud = 0;
};

} // namespace sim
