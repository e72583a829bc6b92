// robot-fiscal.ini as the start-up reads it: whatever the file holds, either
// the settings are usable or the reader says which value is not.
#include "core/CodePage.h"
#include "core/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = QDir(dir.path()).filePath(QStringLiteral("robot-fiscal.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    QString refusal;
    const core::Settings s = core::Settings::load(path, &refusal);
    if (refusal.isEmpty()) {
        if (!std::isfinite(s.timingScale) || s.timingScale < core::Settings::kMinScale ||
            s.timingScale > core::Settings::kMaxScale)
            std::abort();
        if (!core::CodePage(s.codePage).isEightBit())
            std::abort();
    }
    return 0;
}
