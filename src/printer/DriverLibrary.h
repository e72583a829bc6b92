#pragma once

#include "printer/Driver.h"
#include "printer/DriverAbi.h"

#include <QLibrary>
#include <QString>
#include <memory>

namespace printer {

// The driver library loaded at run time by name or path, with its five
// entries resolved by name. A library that lacks one is refused at load.
class DriverLibrary : public Driver
{
public:
    // `nameOrPath`: a plain name (TFHKAIF) is looked up as the platform
    // looks up libraries, beside the program first; a relative path is taken
    // from the program directory. On failure returns null and sets `error`
    // to the operator's message.
    static std::unique_ptr<DriverLibrary> load(const QString &nameOrPath, const QString &programDir,
                                               QString *error);
    ~DriverLibrary() override;

    int OpenFpctrl(const char *port) override;
    int CloseFpctrl() override;
    int SendCmd(int *status, int *error, const char *command) override;
    int UploadStatusCmd(int *status, int *error, const char *command, const char *file) override;
    int UploadReportCmd(int *status, int *error, const char *command, const char *file) override;

    QString fileName() const { return m_library.fileName(); }

private:
    DriverLibrary() = default;

    QLibrary m_library;
    decltype(&::OpenFpctrl) m_open = nullptr;
    decltype(&::CloseFpctrl) m_close = nullptr;
    decltype(&::SendCmd) m_send = nullptr;
    decltype(&::UploadStatusCmd) m_uploadStatus = nullptr;
    decltype(&::UploadReportCmd) m_uploadReport = nullptr;
};

} // namespace printer
