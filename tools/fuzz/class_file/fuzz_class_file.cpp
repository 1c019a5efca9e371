// Feeds arbitrary bytes to the class loader as Class.dat and checks every listed class is
// valid and found by its id.
#include "../FuzzDataFolder.h"
#include "music/data/ClassFile.h"

using namespace pv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::span<const std::uint8_t> input(bytes, size);
    fuzz::RequireStableRecords(input, kClassRecSize, DecodeClassRec, EncodeClassRec);
    DataFiles data = fuzz::FreshHolding(input, &DataFiles::ClassFilePath);

    std::optional<ClassEntries> classes;
    LoadClasses(data, classes);
    fuzz::Require(classes->size() <= size / kClassRecSize);
    for (const auto& entry : *classes) {
        fuzz::Require(entry.Object->Record.ClassId > 0);
        fuzz::Require(entry.Object->Record.Name.size() <= 31);
        ClassNameById(data, classes, static_cast<std::uint16_t>(entry.Object->Record.ClassId));
    }
    // A second load over a shorter file drops the surplus.
    fuzz::FuzzDataFolder::Put(data.ClassFilePath(), input.first(std::min(size, kClassRecSize)));
    LoadClasses(data, classes);
    fuzz::Require(classes->size() <= 1);
    return 0;
}
