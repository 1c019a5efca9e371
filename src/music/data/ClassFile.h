// Class.dat: the classes a user record can point to (read only).
#pragma once

#include "music/data/DataFiles.h"

namespace pv {

/// Fills `ClassList` with the valid classes of Class.dat, reusing its objects in order.
void LoadClasses(DataFiles& data);
/// The name of the first class whose id's low 16 bits equal classId; empty when none.
QString ClassNameById(DataFiles& data, std::uint16_t classId);

} // namespace pv
