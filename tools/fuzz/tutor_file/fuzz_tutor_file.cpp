// Feeds arbitrary bytes to the tutor reader and checks that what it accepts is whole: no kind
// has more steps than its table names, the item body installs as well-formed tables, and a
// current-format tutor writes back to a file that reads the same steps.
#include "exercises/items/ItemTables.h"
#include "shell/tutor/TutorFile.h"

#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

void CheckItemBody(const std::vector<std::uint8_t>& body)
{
    std::vector<std::uint8_t> all(pv::kItemTablesSize - pv::kTutorItemBodySize, 0);
    all.insert(all.end(), body.begin(), body.end());
    const auto tables = pv::DecodeItemTables(all);
    if (!tables)
        std::abort();
    for (const pv::ItemTable* table : {&tables->ChordIdentification, &tables->ChordInversions,
                                       &tables->IntervalIdentification, &tables->Scales})
        for (std::size_t i = 0; i < pv::kItemCount; ++i)
            if (table->Counts[i] > pv::kItemNoteCount ||
                table->Names[i].size() > static_cast<qsizetype>(pv::kItemNameCapacity))
                std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto read = pv::ParseTutorFile(std::span<const std::uint8_t>(data, size));
    if (!read)
        return 0;
    const pv::TutorFileData& tutor = read.Value();
    std::size_t records = 0;
    for (pv::ExerciseKind kind : pv::kExerciseKinds) {
        const std::size_t steps = tutor.StepsOf(kind).size();
        if (steps > static_cast<std::size_t>(tutor.Header.StepCount(kind)))
            std::abort();
        records += steps;
    }
    if (records * pv::kTutorStepSize > size)
        std::abort();
    if (!tutor.Header.IsCurrentFormat()) {
        if (!tutor.StepsOf(pv::ExerciseKind::ChordProgressions).empty())
            std::abort();
        return 0;
    }
    CheckItemBody(tutor.ItemBody);

    // What was read fits its fields, so it writes back, and reads back step for step.
    const auto written = pv::EncodeTutorFile(tutor);
    if (!written)
        std::abort();
    const auto again = pv::ParseTutorFile(written.Value());
    if (!again || again.Value().Truncated)
        std::abort();
    for (pv::ExerciseKind kind : pv::kExerciseKinds) {
        const auto& a = tutor.StepsOf(kind);
        const auto& b = again.Value().StepsOf(kind);
        if (a.size() != b.size())
            std::abort();
        for (std::size_t s = 0; s < a.size(); ++s)
            if (a[s].Record.Title != b[s].Record.Title ||
                a[s].Record.SetupBytes != b[s].Record.SetupBytes ||
                a[s].ExtraText != b[s].ExtraText)
                std::abort();
    }
    return 0;
}
