#pragma once

#include <QString>

namespace robot {

// What an operator's action did, for whoever asked: the window shows the
// message boxes the action told on the way, the control server answers `text`.
struct Outcome
{
    enum class Result {
        Done,
        Refused,     // held back or not allowed now; nothing was sent
        Failed,      // the printer or the port did not do it
        BadArgument, // a date or a code that cannot be used
        Busy,        // the runner is taken by a tick, not by a document: may be tried again
        Warning,     // `estado --check`: something wants looking at
        Critical,    // `estado --check`: printing is stopped or nothing can be recorded
    };
    Result result = Result::Done;
    QString text; // one line

    bool done() const { return result == Result::Done; }
};

} // namespace robot
