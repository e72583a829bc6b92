#pragma once

#include <libpq-fe.h>

namespace db {

// The few entries of PostgreSQL's client library the robot calls itself,
// resolved at run time from libpq.so.5 (which Qt's QPSQL driver brings):
// a robot on SQLite never maps libpq and its TLS and Kerberos libraries.
class Libpq
{
public:
    // False when the library cannot be loaded; the entries are then null.
    static bool available();
    static PQconninfoOption *conninfoParse(const char *conninfo, char **errmsg);
    static void conninfoFree(PQconninfoOption *options);
    static void freemem(void *ptr);
    static PGPing ping(const char *conninfo);
};

} // namespace db
