// Feeds arbitrary bytes to the setup-file reader as a file of their own size and as files of
// the two old sizes, and checks that what it accepts is a well-formed record.
#include "exercises/setup/ExerciseSetup.h"
#include "exercises/setup/OldSetupConverter.h"
#include "exercises/setup/SetupFile.h"

#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

void Check(std::span<const std::uint8_t> bytes, std::uint64_t fileSize)
{
    const pv::SetupFileRead read = pv::DecodeSetupFile(bytes, fileSize);
    if (read.Status != pv::SetupFileStatus::Loaded && read.Status != pv::SetupFileStatus::Converted)
        return;
    const auto encoded = pv::EncodeExerciseSetup(read.Setup);
    if (encoded.size() != pv::kExerciseSetupSize ||
        !pv::HasSetupMark(encoded, pv::kCurrentSetupMark))
        std::abort();
    const auto again = pv::DecodeExerciseSetup(encoded);
    if (!again || !(*again == read.Setup) || pv::SetupChanged(*again, read.Setup))
        std::abort();
    for (pv::ExerciseKind kind : pv::kExerciseKinds) {
        const pv::OptionBlock* block = pv::OptionBlockOfKind(read.Setup, kind);
        if (block != nullptr && !pv::IsValidRootMovement(block->RootMovement))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    Check(bytes, size);
    Check(bytes, pv::kOldSetupSize);
    Check(bytes, pv::kOldPaddedSetupSize);
    return 0;
}
