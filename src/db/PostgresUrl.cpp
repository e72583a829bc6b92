#include "db/PostgresUrl.h"

#include "core/Texts.h"
#include "db/Libpq.h"

#include <QRegularExpression>

namespace db {

namespace {

// A value as libpq's connection strings quote it.
QString quotedValue(const QString &value)
{
    QString out = value;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    out.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

bool portsAreNumbers(const QString &ports)
{
    for (const QString &port : ports.split(QLatin1Char(','))) {
        bool ok = false;
        const int n = port.toInt(&ok);
        if (!port.isEmpty() && (!ok || n < 1 || n > 65535))
            return false;
    }
    return true;
}

} // namespace

bool PostgresUrl::isUrl(const QString &location)
{
    return location.startsWith(QLatin1String("postgresql://")) ||
           location.startsWith(QLatin1String("postgres://"));
}

std::optional<PostgresUrl> PostgresUrl::parse(const QString &text, QString *why)
{
    auto refuse = [why](const QString &reason) -> std::optional<PostgresUrl> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const QString url = text.trimmed();
    if (!isUrl(url))
        return refuse(core::texts::kNotAPostgresUrl);
    if (!Libpq::available())
        return refuse(core::texts::kNoLibpq);
    char *error = nullptr;
    PQconninfoOption *options = Libpq::conninfoParse(url.toUtf8().constData(), &error);
    if (!options) {
        const QString reason =
            error ? QString::fromUtf8(error).trimmed() : core::texts::kOutOfMemory;
        Libpq::freemem(error);
        return refuse(reason);
    }
    PostgresUrl result;
    result.m_text = url;
    QString reason;
    for (const PQconninfoOption *o = options; o->keyword; ++o) {
        if (!o->val)
            continue;
        const QString keyword = QString::fromLatin1(o->keyword);
        const QString value = QString::fromUtf8(o->val);
        if (keyword == QLatin1String("password"))
            reason = core::texts::kPasswordInUrl;
        else if (keyword == QLatin1String("port") && !portsAreNumbers(value))
            reason = core::texts::portNotANumber(value);
        // Qt's driver turns every ';' of its options into a blank.
        else if (value.contains(QLatin1Char(';')))
            reason = core::texts::semicolonInValue(keyword);
        result.m_params.append({keyword, value});
    }
    Libpq::conninfoFree(options);
    if (!reason.isEmpty())
        return refuse(reason);
    return result;
}

QString PostgresUrl::connectOptions(const QList<QPair<QString, QString>> &sessionSettings) const
{
    QString settings;
    for (const auto &[name, value] : sessionSettings)
        settings += QStringLiteral("-c %1=%2 ").arg(name, value);
    QStringList out;
    bool hasOptions = false;
    bool hasTimeout = false;
    for (const auto &[keyword, value] : m_params) {
        hasTimeout = hasTimeout || keyword == QLatin1String("connect_timeout");
        QString v = value;
        if (keyword == QLatin1String("options")) {
            // Later settings win: the URL's own come after the robot's.
            v = settings + value;
            hasOptions = true;
        }
        out << keyword + QLatin1Char('=') + quotedValue(v);
    }
    if (!hasOptions && !settings.isEmpty())
        out << QStringLiteral("options=") + quotedValue(settings.trimmed());
    // libpq waits for an unreachable host without end by default; the robot
    // tries again at the next tick instead.
    if (!hasTimeout)
        out << QStringLiteral("connect_timeout='10'");
    out << QStringLiteral("fallback_application_name='robot-fiscal'");
    return out.join(QLatin1Char(';'));
}

QString PostgresUrl::withoutPassword(const QString &text)
{
    static const QRegularExpression userPassword(QStringLiteral("^(\\w+://[^:@/?]*):[^@/?]*@"));
    static const QRegularExpression option(QStringLiteral("([?&]password=)[^&]*"));
    QString out = text;
    out.replace(userPassword, QStringLiteral("\\1:***@"));
    out.replace(option, QStringLiteral("\\1***"));
    return out;
}

QByteArray PostgresUrl::conninfo() const
{
    return connectOptions().replace(QLatin1Char(';'), QLatin1Char(' ')).toUtf8();
}

} // namespace db
