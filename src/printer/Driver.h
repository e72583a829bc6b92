#pragma once

namespace printer {

// The fiscal printer driver's five C entries. Nonzero means success; status
// and error are written by the driver; texts are 8-bit, zero-terminated.
class Driver
{
public:
    virtual ~Driver() = default;

    virtual int OpenFpctrl(const char *port) = 0;
    virtual int CloseFpctrl() = 0;
    virtual int SendCmd(int *status, int *error, const char *command) = 0;
    virtual int UploadStatusCmd(int *status, int *error, const char *command, const char *file) = 0;
    virtual int UploadReportCmd(int *status, int *error, const char *command, const char *file) = 0;
};

} // namespace printer
