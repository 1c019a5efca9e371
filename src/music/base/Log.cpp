// The program's logging category and soft check.
#include "music/base/Log.h"

Q_LOGGING_CATEGORY(lcPellivark, "pellivark")

namespace pv {

bool SoftCheck(bool ok, const char* expression, const char* file, int line)
{
    if (!ok) {
        qCWarning(lcPellivark, "check failed: %s (%s:%d)", expression, file, line);
        Q_ASSERT_X(false, file, expression);
    }
    return ok;
}

} // namespace pv
