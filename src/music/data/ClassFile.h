// Class.dat: the classes a user record can point to (read only).
#pragma once

#include "music/data/DataFiles.h"
#include "music/data/DataRecords.h"

#include <optional>

namespace pv {

/// Fills classList with the valid classes of Class.dat, reusing its objects in order.
void LoadClasses(DataFiles& data, std::optional<ClassEntries>& classList);
/// The name of the first class of classList (loaded first when absent) whose id's low 16 bits
/// equal classId; empty when none.
QString ClassNameById(DataFiles& data, std::optional<ClassEntries>& classList,
                      std::uint16_t classId);

} // namespace pv
