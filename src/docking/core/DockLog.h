// The log the docking code reports misuse to (a bar or dock put where it cannot go).
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDocking)
