// The printer's answer files as the jobs read them: S1 (the last invoice
// number and the Z counter) and U0X (the last credit-note number), split into
// lines by LeerArchivo and joined by VerRespuesta.
#include "core/Clock.h"
#include "core/CodePage.h"
#include "core/PollingTimer.h"
#include "core/WindowState.h"
#include "printer/Driver.h"
#include "printer/PrinterLink.h"
#include "printer/PrinterNumbers.h"
#include "printer/PrinterRules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

namespace {

// A driver whose uploads write the fuzzer's bytes as the answer.
class AnswerDriver : public printer::Driver
{
public:
    QByteArray answer;

    int OpenFpctrl(const char *) override { return 1; }
    int CloseFpctrl() override { return 1; }
    int SendCmd(int *, int *, const char *) override { return 1; }
    int UploadStatusCmd(int *, int *, const char *, const char *file) override
    {
        return write(file);
    }
    int UploadReportCmd(int *, int *, const char *, const char *file) override
    {
        return write(file);
    }

private:
    int write(const char *file)
    {
        QFile f(QString::fromLocal8Bit(file));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(answer);
        return 1;
    }
};

class QuietWindow : public core::WindowState
{
public:
    void messageBox(const QString &) override {}
    void processEvents() override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static AnswerDriver driver;
    static QuietWindow window;
    static core::Clock clock;
    static core::PollingTimer timer(clock);
    static const core::CodePage codePage;
    static printer::PrinterLink link(driver, window, timer, codePage, QStringLiteral("COM1"));
    driver.answer = QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    QString invoice, z;
    printer::PrinterNumbers::readInvoice(link, dir.path(), &invoice, &z);
    if (!invoice.isEmpty() && !printer::PrinterNumbers::isTrusted(invoice))
        std::abort();
    if (!z.isEmpty() && (z.size() != 4 || !printer::PrinterRules::onlyDigits(z)))
        std::abort();
    for (bool dascom : {false, true}) {
        if (printer::PrinterNumbers::readCreditNote(link, dir.path(), dascom).size() > 8)
            std::abort();
    }
    if (link.Lineas.size() > printer::PrinterLink::kMaxLines)
        std::abort();
    return 0;
}
