#pragma once

// The fiscal printer driver library's five C entries, as the vendor's library
// exports them. The loader takes its pointer types from these declarations and
// the simulator defines them, so a signature that drifts on either side fails
// to compile. Nonzero means success; texts are 8-bit and zero-terminated.

#if defined(_WIN32) && !defined(_WIN64)
#define FISCAL_DRIVER_CALL __stdcall
#else
#define FISCAL_DRIVER_CALL
#endif

#if defined(_WIN32)
#define FISCAL_DRIVER_EXPORT __declspec(dllexport)
#else
#define FISCAL_DRIVER_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
int FISCAL_DRIVER_CALL OpenFpctrl(const char *port);
int FISCAL_DRIVER_CALL CloseFpctrl(void);
int FISCAL_DRIVER_CALL SendCmd(int *status, int *error, const char *command);
int FISCAL_DRIVER_CALL UploadStatusCmd(int *status, int *error, const char *command,
                                       const char *file);
int FISCAL_DRIVER_CALL UploadReportCmd(int *status, int *error, const char *command,
                                       const char *file);
}

// Bits of the status word: what the printer holds at the end of the call. Only
// a call that succeeded carries a word to trust; a lost reply carries none.
namespace printer::status {
inline constexpr int kPortOpen = 0x01;
inline constexpr int kInvoiceOpen = 0x02;
inline constexpr int kCreditNoteOpen = 0x04;
} // namespace printer::status
