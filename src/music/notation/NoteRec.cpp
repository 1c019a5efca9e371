// Note record codec at the record's literal offsets.
#include "music/notation/NoteRec.h"

namespace pv {

std::optional<TNoteRec> DecodeNoteRec(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kNoteRecSize)
        return std::nullopt;
    TNoteRec rec;
    FieldReader io(bytes.first(kNoteRecSize));
    NoteRecFields(io, rec);
    return rec;
}

std::array<std::uint8_t, kNoteRecSize> EncodeNoteRec(const TNoteRec& rec)
{
    std::array<std::uint8_t, kNoteRecSize> bytes{};
    FieldWriter io(bytes);
    NoteRecFields(io, rec);
    return bytes;
}

} // namespace pv
