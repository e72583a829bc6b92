#include "app/WindowMode.h"

namespace app {

bool WindowMode::built()
{
    return false;
}

int WindowMode::run(int &, char **, const QString &)
{
    return 64;
}

} // namespace app
