// Where tests leave pictures and other files for people to look at.
#pragma once

#include <QString>

namespace pv::test {

/// The build's test-output folder (created on demand), with a trailing '/'.
QString TestOutputDir();

} // namespace pv::test
