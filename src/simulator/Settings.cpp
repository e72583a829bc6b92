#include "Settings.h"

#include <QDir>
#include <QSettings>

namespace sim {

namespace {

// QSettings hands a value with commas back as a list; both forms are welcome.
QStringList listValue(const QSettings &ini, const QString &key)
{
    QStringList out;
    for (const QString &part : ini.value(key).toStringList())
        for (const QString &piece : part.split(QLatin1Char(','))) {
            const QString trimmed = piece.trimmed();
            if (!trimmed.isEmpty())
                out << trimmed;
        }
    return out;
}

int intValue(const QSettings &ini, const QString &key, int fallback)
{
    bool ok = false;
    const int v = ini.value(key).toString().trimmed().toInt(&ok);
    return ok ? v : fallback;
}

bool saysFail(const QSettings &ini, const QString &key)
{
    return ini.value(key).toString().trimmed().compare(QLatin1String("fail"),
                                                       Qt::CaseInsensitive) == 0;
}

bool saysYes(const QSettings &ini, const QString &key)
{
    const QString v = ini.value(key).toString().trimmed().toLower();
    return v == QLatin1String("yes") || v == QLatin1String("true") || v == QLatin1String("1");
}

} // namespace

Settings Settings::read(const QString &dir)
{
    Settings s;
    const QSettings ini(QDir(dir).filePath(QStringLiteral("fiscalsim.ini")), QSettings::IniFormat);

    const QString type = ini.value(QStringLiteral("printer/Type")).toString().trimmed().toUpper();
    if (type == QLatin1String("DASCOM"))
        s.layout = AnswerLayout::Dascom;
    else if (type == QLatin1String("SAMSUNG"))
        s.layout = AnswerLayout::Samsung;
    const QString serial = ini.value(QStringLiteral("printer/Serial")).toString().trimmed();
    if (!serial.isEmpty())
        s.serial = serial;
    const QString codePage = ini.value(QStringLiteral("printer/CodePage")).toString().trimmed();
    if (!codePage.isEmpty())
        s.codePage = codePage;
    const QStringList rates = listValue(ini, QStringLiteral("printer/Rates"));
    if (!rates.isEmpty()) {
        s.rates = {0, 0, 0};
        for (int i = 0; i < 3 && i < rates.size(); ++i)
            s.rates[i] = qRound(rates[i].toDouble() * 100.0);
    }

    s.initialInvoice = intValue(ini, QStringLiteral("counters/Invoice"), 0);
    s.initialCreditNote = intValue(ini, QStringLiteral("counters/CreditNote"), 0);
    s.initialZ = intValue(ini, QStringLiteral("counters/Z"), 0);

    s.openFails = saysFail(ini, QStringLiteral("faults/Open"));
    s.refusedPrefixes = listValue(ini, QStringLiteral("faults/Refuse"));
    s.refuseNth = intValue(ini, QStringLiteral("faults/RefuseNth"), 0);
    s.uploadFails = saysFail(ini, QStringLiteral("faults/Upload"));
    s.uploadFailNth = intValue(ini, QStringLiteral("faults/UploadFailNth"), 0);
    s.uploadFailFrom = intValue(ini, QStringLiteral("faults/UploadFailFrom"), 0);
    s.loseReplyNth = intValue(ini, QStringLiteral("faults/LoseReplyNth"), 0);
    s.killAfter = intValue(ini, QStringLiteral("faults/KillAfter"), 0);
    s.refuse7WhenIdle = saysYes(ini, QStringLiteral("faults/Refuse7WhenIdle"));

    s.baud = intValue(ini, QStringLiteral("link/Baud"), 0);
    return s;
}

} // namespace sim
