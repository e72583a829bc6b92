// The driver's five C entries: the only symbols the library exports.

#include "Printer.h"

#include <QtGlobal>

#if defined(_WIN32) && !defined(_WIN64)
#define FISCALSIM_CALL __stdcall
#else
#define FISCALSIM_CALL
#endif

namespace {

// Nothing may unwind into the caller's C frames; a failure is a refusal.
template <typename Call> int guarded(Call call)
{
    try {
        return call();
    } catch (...) {
        return 0;
    }
}

} // namespace

extern "C" {

Q_DECL_EXPORT int FISCALSIM_CALL OpenFpctrl(const char *port)
{
    return guarded([&] { return sim::Printer::instance().open(port); });
}

Q_DECL_EXPORT int FISCALSIM_CALL CloseFpctrl(void)
{
    return guarded([&] { return sim::Printer::instance().close(); });
}

Q_DECL_EXPORT int FISCALSIM_CALL SendCmd(int *status, int *error, const char *command)
{
    return guarded([&] { return sim::Printer::instance().send(status, error, command); });
}

Q_DECL_EXPORT int FISCALSIM_CALL UploadStatusCmd(int *status, int *error, const char *command,
                                                 const char *file)
{
    return guarded(
        [&] { return sim::Printer::instance().uploadStatus(status, error, command, file); });
}

Q_DECL_EXPORT int FISCALSIM_CALL UploadReportCmd(int *status, int *error, const char *command,
                                                 const char *file)
{
    return guarded(
        [&] { return sim::Printer::instance().uploadReport(status, error, command, file); });
}

} // extern "C"
