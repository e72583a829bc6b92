#pragma once

#include "support/RobotHarness.h"

namespace testsupport {

// The printer link on the simulator, for tests that pass the whole of
// fiscalsim.ini (its sections override the installation's).
class SimPrinter : public RobotHarness
{
public:
    explicit SimPrinter(const QByteArray &fiscalsimIni = QByteArray("[printer]\nType=HKA\n"))
        : RobotHarness({QStringLiteral("HKA"), fiscalsimIni})
    {
    }
};

} // namespace testsupport
