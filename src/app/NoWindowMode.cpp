#include "app/WindowMode.h"

namespace app {

bool WindowMode::built()
{
    return false;
}

core::ExitStatus WindowMode::run(int &, char **, const QString &)
{
    return core::ExitStatus::Usage;
}

} // namespace app
