// The simulated printer's command interpreter: one command per line of the
// input, in the default code page, on one fiscal memory. Whatever the
// commands, the memory still writes and reads back as JSON.
#include "FiscalMemory.h"
#include "Interpreter.h"
#include "PaperRoll.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QList<int> rates{1600, 800, 3100};
    static const sim::PaperRoll paper(QStringLiteral("Z1B1234567"), rates);
    static const QDateTime now(QDate(2026, 12, 6), QTime(20, 15, 3));
    sim::FiscalMemory memory;
    sim::Interpreter interpreter(memory, paper, rates);
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QByteArray &line : bytes.split('\n')) {
        const sim::Interpreter::Outcome o = interpreter.execute(QString::fromLatin1(line), now);
        (void)sim::Interpreter::documentStatus(memory);
        if (!o.accepted() && o.changed)
            std::abort();
    }
    sim::FiscalMemory back;
    if (!sim::FiscalMemory::fromJson(memory.toJson(), &back) || back.toJson() != memory.toJson())
        std::abort();
    return 0;
}
