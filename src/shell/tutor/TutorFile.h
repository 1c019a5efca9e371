// The tutor file (".tut"): its header, the item body in both formats and the step records with
// their setup blocks and extra texts, read and written explicitly.
#pragma once

#include "exercises/setup/ExerciseSetup.h"
#include "music/base/ExerciseKind.h"
#include "music/base/Result.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include <QString>

namespace pv {

constexpr std::size_t kTutorHeaderSize = 448;
constexpr std::size_t kTutorStepSize = 448;
constexpr std::size_t kTutorItemBodySize = 26940; ///< the item tables without their spare bytes
constexpr std::size_t kOldTutorItemBodySize = 5600;
constexpr std::uint16_t kTutorFormatMark = 0x5EA5;

constexpr std::size_t kTutorTitleCapacity = 50;
constexpr std::size_t kTutorDescriptionCapacity = 255;
constexpr std::size_t kTutorAuthorCapacity = 39;
constexpr std::size_t kTutorStepSetupOffset = 316;
constexpr std::size_t kTutorStepSetupSize = 130;
/// The longest extra text a step can carry (its length is a u16).
constexpr std::size_t kTutorExtraTextCapacity = 65535;
/// Files above this size are refused unread: no tutor comes near it, and reading one whole
/// would only let a hostile file exhaust the memory.
constexpr std::size_t kMaxTutorFileSize = 32u * 1024u * 1024u;

/// Why a tutor file could not be read or written; the detail holds the system's words.
enum class TutorError : int
{
    NoFile = 1,       ///< the name is empty or "\\": no tutor is named
    CannotOpen = 2,   ///< missing, unreadable or not a regular file
    NotATutor = 3,    ///< shorter than its header and item body
    Damaged = 4,      ///< its step table promises more steps than the file holds
    TooLarge = 5,     ///< larger than any tutor can be
    TextTooLong = 6,  ///< (writing) a text does not fit its field
    TooManySteps = 7, ///< (writing) the step numbers do not fit the table
    WriteFailed = 8,  ///< (writing) the file could not be made or completed
    NoSteps = 9,      ///< (loading to teach) no kind has a step; the detail is the title
};

/// The 448-byte header.
struct TutorHeader
{
    QString Title;       ///< string[50] at 0
    QString Description; ///< string[255] at 52
    QString Author;      ///< string[39] at 308
    /// Entries 1..11 of the step index table (index 0 = entry 1): the steps of kind k are
    /// numbered entry k .. entry k+1 - 1.
    std::array<std::int16_t, 11> StepIndex{};
    std::uint16_t FormatMark = kTutorFormatMark;
    /// The record as stored; pad and reserved bytes are written back from here.
    std::array<std::uint8_t, kTutorHeaderSize> Raw{};

    bool IsCurrentFormat() const { return FormatMark == kTutorFormatMark; }
    /// entry(k+1) - entry(k), or 0 when that is not positive.
    int StepCount(ExerciseKind kind) const;
    bool operator==(const TutorHeader&) const = default;
};

TutorHeader DecodeTutorHeader(std::span<const std::uint8_t, kTutorHeaderSize> bytes);
std::array<std::uint8_t, kTutorHeaderSize> EncodeTutorHeader(const TutorHeader& header);

/// One 448-byte step record.
struct TutorStepRecord
{
    QString Title;                  ///< string[50] at 0
    QString Description;            ///< string[255] at 52
    std::uint8_t PassMark = 0;      ///< 308, percent
    std::uint8_t FallBackMark = 0;  ///< 309, percent
    std::int16_t QuestionCount = 0; ///< 310
    /// 316..445: the kind's setup block at its start; the bytes behind it are carried.
    std::array<std::uint8_t, kTutorStepSetupSize> SetupBytes{};
    std::uint16_t ExtraTextLength = 0; ///< 446, current format only
    std::array<std::uint8_t, kTutorStepSize> Raw{};

    bool operator==(const TutorStepRecord&) const = default;
};

TutorStepRecord DecodeTutorStepRecord(std::span<const std::uint8_t, kTutorStepSize> bytes);
std::array<std::uint8_t, kTutorStepSize> EncodeTutorStepRecord(const TutorStepRecord& record);

/// The kind's block of a step's setup bytes installed into setup (the other kinds' blocks stay).
void ApplyStepSetup(const TutorStepRecord& record, ExerciseKind kind, ExerciseSetup& setup);
/// The kind's block of setup written to the start of the step's setup bytes.
void TakeStepSetup(TutorStepRecord& record, ExerciseKind kind, const ExerciseSetup& setup);

/// A step and the extra text that follows its record.
struct TutorStep
{
    TutorStepRecord Record;
    QString ExtraText;
    bool operator==(const TutorStep&) const = default;
};

/// A whole tutor file as read or to be written.
struct TutorFileData
{
    TutorHeader Header;
    /// The current format's 26,940 bytes, or the old format's 5,600 as read.
    std::vector<std::uint8_t> ItemBody;
    /// Per kind 1..10 (index kind - 1), in file order.
    std::array<std::vector<TutorStep>, 10> Steps;
    /// A step of an item-based kind asks an item beyond the program's built-in ones.
    bool CustomItems = false;
    /// The file ended inside a step or its text: what was whole is kept.
    bool Truncated = false;

    const std::vector<TutorStep>& StepsOf(ExerciseKind kind) const;
    std::vector<TutorStep>& StepsOf(ExerciseKind kind);
};

/// The first item flag (1..60) of a kind's option block that names an item of the tutor's own.
/// 0 for kinds without items.
int TutorFirstCustomItem(ExerciseKind kind);

/// Reads a tutor from its bytes. Old-format setup blocks are converted and kind 10 gets no
/// steps there. Steps stop at the end of the bytes: a partial record is dropped and an extra
/// text cut to what is there. Refused when the header or item body is short, or when the step
/// table promises more records than the bytes could hold.
Result<TutorFileData, TutorError> ParseTutorFile(std::span<const std::uint8_t> bytes);

/// The bytes of a current-format tutor: the step index table is computed from the step lists
/// (entry 1 = 1) and each text's length from the text. Texts longer than their fields, an item
/// body of another size and step numbers beyond the table are refused, never cut.
Result<std::vector<std::uint8_t>, TutorError> EncodeTutorFile(const TutorFileData& data);

/// The first text of data that does not fit its field, named for a message; nothing when all
/// fit.
std::optional<QString> FindOverlongText(const TutorFileData& data);

/// Reads the file's bytes (a regular file only, never waiting on a FIFO); "" and "\\" name no
/// file. A file larger than maxBytes is TooLarge.
Result<std::vector<std::uint8_t>, TutorError>
ReadTutorBytes(const QString& path, std::size_t maxBytes = kMaxTutorFileSize);
/// The first count bytes of the file (fewer when it is shorter), under the same rules.
Result<std::vector<std::uint8_t>, TutorError> ReadTutorHead(const QString& path, std::size_t count);

/// Encodes and writes the tutor to a new file that replaces path only when complete.
Status<TutorError> WriteTutorFile(const QString& path, const TutorFileData& data);

/// True for names that mean "no tutor": empty or a lone backslash.
bool NamesNoTutorFile(const QString& name);

} // namespace pv
