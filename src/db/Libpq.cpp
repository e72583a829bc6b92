#include "db/Libpq.h"

#include <QLibrary>

namespace db {

namespace {

struct Entries
{
    decltype(&PQconninfoParse) conninfoParse = nullptr;
    decltype(&PQconninfoFree) conninfoFree = nullptr;
    decltype(&PQfreemem) freemem = nullptr;
    decltype(&PQping) ping = nullptr;

    Entries()
    {
        QLibrary library(QStringLiteral("pq"), 5);
        if (!library.load())
            return;
        conninfoParse =
            reinterpret_cast<decltype(conninfoParse)>(library.resolve("PQconninfoParse"));
        conninfoFree = reinterpret_cast<decltype(conninfoFree)>(library.resolve("PQconninfoFree"));
        freemem = reinterpret_cast<decltype(freemem)>(library.resolve("PQfreemem"));
        ping = reinterpret_cast<decltype(ping)>(library.resolve("PQping"));
    }
};

const Entries &entries()
{
    static const Entries loaded;
    return loaded;
}

} // namespace

bool Libpq::available()
{
    const Entries &e = entries();
    return e.conninfoParse && e.conninfoFree && e.freemem && e.ping;
}

PQconninfoOption *Libpq::conninfoParse(const char *conninfo, char **errmsg)
{
    return entries().conninfoParse(conninfo, errmsg);
}

void Libpq::conninfoFree(PQconninfoOption *options)
{
    entries().conninfoFree(options);
}

void Libpq::freemem(void *ptr)
{
    entries().freemem(ptr);
}

PGPing Libpq::ping(const char *conninfo)
{
    return entries().ping(conninfo);
}

} // namespace db
