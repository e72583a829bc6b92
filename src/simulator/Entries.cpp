// The driver's five C entries: the only symbols the library exports.

#include "Printer.h"
#include "printer/DriverAbi.h"

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

FISCAL_DRIVER_EXPORT int FISCAL_DRIVER_CALL OpenFpctrl(const char *port)
{
    return guarded([&] { return sim::Printer::instance().open(port); });
}

FISCAL_DRIVER_EXPORT int FISCAL_DRIVER_CALL CloseFpctrl(void)
{
    return guarded([&] { return sim::Printer::instance().close(); });
}

FISCAL_DRIVER_EXPORT int FISCAL_DRIVER_CALL SendCmd(int *status, int *error, const char *command)
{
    return guarded([&] { return sim::Printer::instance().send(status, error, command); });
}

FISCAL_DRIVER_EXPORT int FISCAL_DRIVER_CALL UploadStatusCmd(int *status, int *error,
                                                            const char *command, const char *file)
{
    return guarded(
        [&] { return sim::Printer::instance().uploadStatus(status, error, command, file); });
}

FISCAL_DRIVER_EXPORT int FISCAL_DRIVER_CALL UploadReportCmd(int *status, int *error,
                                                            const char *command, const char *file)
{
    return guarded(
        [&] { return sim::Printer::instance().uploadReport(status, error, command, file); });
}

} // extern "C"
