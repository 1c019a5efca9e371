// The tutor file's records and the walk over header, item body and steps.
#include "shell/tutor/TutorFile.h"

#include "exercises/setup/OldSetupConverter.h"
#include "music/files/ByteIO.h"
#include "music/files/RegularFile.h"
#include "music/files/Win1252.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QSaveFile>

namespace pv {

namespace {

template <class IO, class Rec> void HeaderFields(IO& io, Rec& rec)
{
    io.LengthPrefixedString(0, kTutorTitleCapacity, rec.Title);
    io.LengthPrefixedString(52, kTutorDescriptionCapacity, rec.Description);
    io.LengthPrefixedString(308, kTutorAuthorCapacity, rec.Author);
    for (std::size_t i = 0; i < rec.StepIndex.size(); ++i)
        io.I16(348 + 2 * i, rec.StepIndex[i]);
    io.U16(388, rec.FormatMark);
}

template <class IO, class Rec> void StepFields(IO& io, Rec& rec)
{
    io.LengthPrefixedString(0, kTutorTitleCapacity, rec.Title);
    io.LengthPrefixedString(52, kTutorDescriptionCapacity, rec.Description);
    io.U8(308, rec.PassMark);
    io.U8(309, rec.FallBackMark);
    io.I16(310, rec.QuestionCount);
    io.Bytes(kTutorStepSetupOffset, rec.SetupBytes);
    io.U16(446, rec.ExtraTextLength);
}

std::size_t KindIndex(ExerciseKind kind)
{
    return static_cast<std::size_t>(std::clamp(KindNumber(kind), 1, 10) - 1);
}

// Rewrites an old-format step's setup bytes as the kind's current block; an old option block
// asking an item beyond the old built-in ones raises customItems.
void ConvertOldStepSetup(TutorStepRecord& record, ExerciseKind kind, bool& customItems)
{
    const std::array<std::uint8_t, kTutorStepSetupSize> old = record.SetupBytes;
    ExerciseSetup setup = DefaultExerciseSetup();
    switch (KindFacts(kind).SetupBlock) {
    case SetupBlockType::Options:
        // The old layout carried no progressions; kind 10 never reaches here.
        if (OptionBlock* block = OptionBlockOfKind(setup, kind))
            customItems = ConvertOldOptionBlock(old, *block, kind) || customItems;
        break;
    case SetupBlockType::Rhythm:
        if (RhythmSetup* block = RhythmSetupOfKind(setup, kind))
            ConvertOldRhythmBlock(old, *block);
        break;
    case SetupBlockType::Melody:
        ConvertOldMelodyBlock(old, setup.Melody);
        break;
    case SetupBlockType::None:
        return;
    }
    TakeStepSetup(record, kind, setup);
}

bool AsksCustomItems(const TutorStepRecord& record, ExerciseKind kind)
{
    const int first = TutorFirstCustomItem(kind);
    if (first < 1)
        return false;
    for (int item = first; item <= 60; ++item)
        if (record.SetupBytes[static_cast<std::size_t>(item - 1)] != 0)
            return true;
    return false;
}

} // namespace

int TutorHeader::StepCount(ExerciseKind kind) const
{
    const std::size_t k = KindIndex(kind);
    return std::max(0, int{StepIndex[k + 1]} - int{StepIndex[k]});
}

TutorHeader DecodeTutorHeader(std::span<const std::uint8_t, kTutorHeaderSize> bytes)
{
    TutorHeader header;
    std::copy(bytes.begin(), bytes.end(), header.Raw.begin());
    FieldReader io(header.Raw);
    HeaderFields(io, header);
    return header;
}

std::array<std::uint8_t, kTutorHeaderSize> EncodeTutorHeader(const TutorHeader& header)
{
    auto out = header.Raw;
    FieldWriter io(out);
    HeaderFields(io, header);
    return out;
}

TutorStepRecord DecodeTutorStepRecord(std::span<const std::uint8_t, kTutorStepSize> bytes)
{
    TutorStepRecord record;
    std::copy(bytes.begin(), bytes.end(), record.Raw.begin());
    FieldReader io(record.Raw);
    StepFields(io, record);
    return record;
}

std::array<std::uint8_t, kTutorStepSize> EncodeTutorStepRecord(const TutorStepRecord& record)
{
    auto out = record.Raw;
    FieldWriter io(out);
    StepFields(io, record);
    return out;
}

void ApplyStepSetup(const TutorStepRecord& record, ExerciseKind kind, ExerciseSetup& setup)
{
    const std::span<const std::uint8_t> bytes(record.SetupBytes);
    if (OptionBlock* block = OptionBlockOfKind(setup, kind))
        *block = DecodeOptionBlock(bytes.first(kOptionBlockSize));
    else if (RhythmSetup* rhythm = RhythmSetupOfKind(setup, kind))
        *rhythm = DecodeRhythmSetup(bytes.first(kRhythmSetupSize));
    else if (kind == ExerciseKind::MelodyDictation)
        setup.Melody = DecodeMelodySetup(bytes.first(kMelodySetupSize));
}

void TakeStepSetup(TutorStepRecord& record, ExerciseKind kind, const ExerciseSetup& setup)
{
    const std::span<std::uint8_t> bytes(record.SetupBytes);
    if (const OptionBlock* block = OptionBlockOfKind(setup, kind))
        EncodeOptionBlock(*block, bytes.first(kOptionBlockSize));
    else if (const RhythmSetup* rhythm = RhythmSetupOfKind(setup, kind))
        EncodeRhythmSetup(*rhythm, bytes.first(kRhythmSetupSize));
    else if (kind == ExerciseKind::MelodyDictation)
        EncodeMelodySetup(setup.Melody, bytes.first(kMelodySetupSize));
}

const std::vector<TutorStep>& TutorFileData::StepsOf(ExerciseKind kind) const
{
    return Steps[KindIndex(kind)];
}

std::vector<TutorStep>& TutorFileData::StepsOf(ExerciseKind kind)
{
    return Steps[KindIndex(kind)];
}

int TutorFirstCustomItem(ExerciseKind kind)
{
    // A tutor's own items go where a user's would: in the user slots of the table the kind
    // asks, which for interval comparison is the interval identification table.
    return FirstUserSlotAsked(kind);
}

Result<TutorFileData, TutorError> ParseTutorFile(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kTutorHeaderSize)
        return Fail(TutorError::NotATutor, QStringLiteral("shorter than a tutor header"));
    TutorFileData data;
    data.Header = DecodeTutorHeader(bytes.first<kTutorHeaderSize>());
    const bool current = data.Header.IsCurrentFormat();
    const std::size_t bodySize = current ? kTutorItemBodySize : kOldTutorItemBodySize;
    if (bytes.size() - kTutorHeaderSize < bodySize)
        return Fail(TutorError::NotATutor, QStringLiteral("the item tables are cut short"));
    data.ItemBody.assign(bytes.begin() + kTutorHeaderSize,
                         bytes.begin() + static_cast<std::ptrdiff_t>(kTutorHeaderSize + bodySize));

    // The old format had no progressions: whatever its table says, kind 10 has no steps.
    if (!current)
        data.Header.StepIndex[10] = data.Header.StepIndex[9];
    std::size_t total = 0;
    for (ExerciseKind kind : kExerciseKinds)
        total += static_cast<std::size_t>(data.Header.StepCount(kind));
    std::size_t pos = kTutorHeaderSize + bodySize;
    // A table of 32,767 steps a kind on a file of a few records is damage, not a tutor: no
    // step list is grown to what the table claims.
    if (total > (bytes.size() - pos) / kTutorStepSize)
        return Fail(
            TutorError::Damaged,
            QStringLiteral("the step table names %1 steps, the file holds fewer").arg(total));

    for (ExerciseKind kind : kExerciseKinds) {
        const int count = data.Header.StepCount(kind);
        auto& steps = data.StepsOf(kind);
        steps.reserve(static_cast<std::size_t>(count));
        for (int s = 0; s < count && !data.Truncated; ++s) {
            // Extra texts may use up the bytes later records needed: a partial record is
            // dropped rather than padded into a step that was never written.
            if (bytes.size() - pos < kTutorStepSize) {
                data.Truncated = true;
                break;
            }
            TutorStep step;
            step.Record = DecodeTutorStepRecord(bytes.subspan(pos).first<kTutorStepSize>());
            pos += kTutorStepSize;
            if (current) {
                std::size_t length = step.Record.ExtraTextLength;
                if (length > bytes.size() - pos) {
                    length = bytes.size() - pos;
                    data.Truncated = true;
                }
                step.ExtraText = FromWin1252(bytes.subspan(pos, length));
                pos += length;
                data.CustomItems = data.CustomItems || AsksCustomItems(step.Record, kind);
            } else {
                ConvertOldStepSetup(step.Record, kind, data.CustomItems);
            }
            steps.push_back(std::move(step));
        }
    }
    return data;
}

std::optional<QString> FindOverlongText(const TutorFileData& data)
{
    auto over = [](const QString& text, std::size_t capacity) {
        return ToWin1252(text).size() > capacity;
    };
    if (over(data.Header.Title, kTutorTitleCapacity))
        return QStringLiteral("the tutor title is longer than %1 characters")
            .arg(kTutorTitleCapacity);
    if (over(data.Header.Description, kTutorDescriptionCapacity))
        return QStringLiteral("the tutor description is longer than %1 characters")
            .arg(kTutorDescriptionCapacity);
    if (over(data.Header.Author, kTutorAuthorCapacity))
        return QStringLiteral("the author is longer than %1 characters").arg(kTutorAuthorCapacity);
    for (ExerciseKind kind : kExerciseKinds) {
        const auto& steps = data.StepsOf(kind);
        for (std::size_t s = 0; s < steps.size(); ++s) {
            const QString where =
                QStringLiteral("kind %1 step %2").arg(KindNumber(kind)).arg(s + 1);
            if (over(steps[s].Record.Title, kTutorTitleCapacity))
                return where + QStringLiteral(": the title is longer than %1 characters")
                                   .arg(kTutorTitleCapacity);
            if (over(steps[s].Record.Description, kTutorDescriptionCapacity))
                return where + QStringLiteral(": the description is longer than %1 characters")
                                   .arg(kTutorDescriptionCapacity);
            if (over(steps[s].ExtraText, kTutorExtraTextCapacity))
                return where + QStringLiteral(": the extra text is longer than %1 bytes")
                                   .arg(kTutorExtraTextCapacity);
        }
    }
    return std::nullopt;
}

Result<std::vector<std::uint8_t>, TutorError> EncodeTutorFile(const TutorFileData& data)
{
    if (const auto overlong = FindOverlongText(data))
        return Fail(TutorError::TextTooLong, *overlong);
    if (data.ItemBody.size() != kTutorItemBodySize)
        return Fail(TutorError::NotATutor, QStringLiteral("the item body holds %1 bytes, not %2")
                                               .arg(data.ItemBody.size())
                                               .arg(kTutorItemBodySize));
    TutorHeader header = data.Header;
    header.FormatMark = kTutorFormatMark;
    int entry = 1;
    for (std::size_t k = 0; k < data.Steps.size(); ++k) {
        header.StepIndex[k] = static_cast<std::int16_t>(entry);
        entry += static_cast<int>(std::min<std::size_t>(data.Steps[k].size(), 32767));
        if (entry > 32767)
            return Fail(TutorError::TooManySteps,
                        QStringLiteral("more than 32,766 steps do not fit the step table"));
    }
    header.StepIndex[10] = static_cast<std::int16_t>(entry);

    std::vector<std::uint8_t> out;
    const auto head = EncodeTutorHeader(header);
    out.insert(out.end(), head.begin(), head.end());
    out.insert(out.end(), data.ItemBody.begin(), data.ItemBody.end());
    for (const auto& steps : data.Steps) {
        for (const TutorStep& step : steps) {
            const std::vector<std::uint8_t> text = ToWin1252(step.ExtraText);
            TutorStepRecord record = step.Record;
            record.ExtraTextLength = static_cast<std::uint16_t>(text.size());
            const auto bytes = EncodeTutorStepRecord(record);
            out.insert(out.end(), bytes.begin(), bytes.end());
            out.insert(out.end(), text.begin(), text.end());
        }
    }
    return out;
}

bool NamesNoTutorFile(const QString& name)
{
    return name.isEmpty() || name == QStringLiteral("\\");
}

namespace {

// Read the program's one safe way (a FIFO named like a tutor would hold the open until some
// other program writes to it): at most limit bytes, a larger file refused unless only its
// head is wanted.
Result<std::vector<std::uint8_t>, TutorError> ReadTutorFileBytes(const QString& path,
                                                                 std::size_t limit, bool headOnly)
{
    if (NamesNoTutorFile(path))
        return Fail(TutorError::NoFile);
    auto read = ReadRegularFile(path, limit, LinkRule::Follow, headOnly);
    if (read)
        return std::move(read.Value());
    if (read.Code() == FileRefusal::TooLarge)
        return Fail(TutorError::TooLarge, read.Detail());
    return Fail(TutorError::CannotOpen, read.Detail());
}

} // namespace

Result<std::vector<std::uint8_t>, TutorError> ReadTutorBytes(const QString& path,
                                                             std::size_t maxBytes)
{
    return ReadTutorFileBytes(path, maxBytes, false);
}

Result<std::vector<std::uint8_t>, TutorError> ReadTutorHead(const QString& path, std::size_t count)
{
    return ReadTutorFileBytes(path, count, true);
}

Status<TutorError> WriteTutorFile(const QString& path, const TutorFileData& data)
{
    auto encoded = EncodeTutorFile(data);
    if (!encoded)
        return encoded.Err();
    const auto& bytes = encoded.Value();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Fail(TutorError::WriteFailed, file.errorString());
    QByteArray image(static_cast<qsizetype>(bytes.size()), '\0');
    std::transform(bytes.begin(), bytes.end(), image.begin(),
                   [](std::uint8_t b) { return static_cast<char>(b); });
    // commit() flushes but would rename a cut file over the old one when the disk is full, so
    // the flush and the sync are made and checked here.
    if (file.write(image) != image.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return Fail(TutorError::WriteFailed, why);
    }
    if (::fsync(file.handle()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return Fail(TutorError::WriteFailed, why);
    }
    if (!file.commit())
        return Fail(TutorError::WriteFailed, file.errorString());
    return {};
}

} // namespace pv
