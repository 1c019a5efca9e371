// An identification model with the counters, control strip and texts of its window, on a
// scripted random source: the fixture of the identification model tests.
#pragma once

#include "exercises/identification/AkkordModel.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedRandom.h"

#include <utility>
#include <vector>

namespace pv::test {

struct AkkordTestWindow
{
    /// script: the random draws; the last one repeats when they are used up.
    explicit AkkordTestWindow(IdentificationMode mode, std::vector<int> script = {0})
        : random(std::move(script)), model(mode, base, strip, strings)
    {
        model.SetRandom(random);
    }
    ScriptedRandom random;
    ExerciseSession base;
    ControlStripModel strip;
    UIStringTable strings;
    AkkordModel model;
};

} // namespace pv::test
