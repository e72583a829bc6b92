#pragma once

#include <QString>

namespace core {

// A lock file (QLockFile's form: pid, program, host) that names no live
// process: left empty or cut by a power failure, garbage, or naming a pid that
// is gone or now runs another program. A lock of another computer sharing the
// directory is never judged, and neither is one whose holder keeps its native
// lock on it.
class StaleLock
{
public:
    // Removes `path` when it is such a lock; true when it did.
    static bool takeOver(const QString &path);

    // A lock that cannot be read as a lock may be one a starting copy has just
    // created and not yet written: younger than this, it is left alone.
    static constexpr int kUnwrittenGraceSeconds = 3;
};

} // namespace core
