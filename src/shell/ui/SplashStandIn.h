// The splash window shown while the windows are made, until its own window arrives.
#pragma once

#include <memory>

#include <QString>

class QSplashScreen;

namespace pv {

/// A splash with the program's name and version, shown and painted at once.
std::unique_ptr<QSplashScreen> ShowSplash(const QString& version);

} // namespace pv
