// The docking log.
#include "docking/core/DockLog.h"

Q_LOGGING_CATEGORY(lcDocking, "pellivark.docking")
