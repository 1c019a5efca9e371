// Note record codec at the record's literal offsets.
#include "music/notation/NoteRec.h"

namespace pv {

TNoteRec ReadNoteRec(const ByteReader& reader, std::size_t offset)
{
    TNoteRec rec;
    rec.Pitch.Note = reader.I8(offset + 0);
    rec.Pitch.Shift = reader.I8(offset + 1);
    rec.AccidentalInput = reader.U8(offset + 2);
    rec.GuitarString = reader.U8(offset + 3);
    rec.Duration = reader.U8(offset + 4);
    rec.VelocityLevel = reader.U8(offset + 5);
    rec.BarLine = reader.U8(offset + 6);
    rec.Free7 = reader.U8(offset + 7);
    rec.X = reader.I32(offset + 8);
    rec.Y = reader.I32(offset + 12);
    rec.Sideways = reader.U8(offset + 16);
    rec.AccidentalColumn = reader.U8(offset + 17);
    rec.Free18 = reader.U8(offset + 18);
    rec.Staff = reader.U8(offset + 19);
    return rec;
}

void WriteNoteRec(ByteWriter& writer, std::size_t offset, const TNoteRec& rec)
{
    writer.I8(offset + 0, rec.Pitch.Note);
    writer.I8(offset + 1, rec.Pitch.Shift);
    writer.U8(offset + 2, rec.AccidentalInput);
    writer.U8(offset + 3, rec.GuitarString);
    writer.U8(offset + 4, rec.Duration);
    writer.U8(offset + 5, rec.VelocityLevel);
    writer.U8(offset + 6, rec.BarLine);
    writer.U8(offset + 7, rec.Free7);
    writer.I32(offset + 8, rec.X);
    writer.I32(offset + 12, rec.Y);
    writer.U8(offset + 16, rec.Sideways);
    writer.U8(offset + 17, rec.AccidentalColumn);
    writer.U8(offset + 18, rec.Free18);
    writer.U8(offset + 19, rec.Staff);
}

std::optional<TNoteRec> DecodeNoteRec(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kNoteRecSize)
        return std::nullopt;
    const ByteReader reader(bytes.first(kNoteRecSize));
    return ReadNoteRec(reader, 0);
}

std::array<std::uint8_t, kNoteRecSize> EncodeNoteRec(const TNoteRec& rec)
{
    std::array<std::uint8_t, kNoteRecSize> bytes{};
    ByteWriter writer(bytes);
    WriteNoteRec(writer, 0, rec);
    return bytes;
}

} // namespace pv
