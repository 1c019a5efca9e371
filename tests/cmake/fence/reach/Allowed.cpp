// Qt Core compiles in a headless library.
#include <QtCore/QString>

int FenceAllowed()
{
    return static_cast<int>(QString().size());
}
