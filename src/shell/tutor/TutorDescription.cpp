// The tutor description's reader and printer, over one table of named fields per setup block.
#include "shell/tutor/TutorDescription.h"

#include "exercises/items/ItemTables.h"
#include "exercises/setup/SetupFile.h"

#include <algorithm>
#include <span>

#include <QDir>
#include <QStringList>

namespace pv {

namespace {

/// A one-byte field of a setup block.
struct ByteField
{
    const char* name;
    std::size_t offset;
    int min;
    int max;
};

/// A run of 0/1 flags of a setup block, named by numbers from first on, or by words.
struct FlagList
{
    const char* name;
    std::size_t offset;
    int count;
    int first;
    std::span<const char* const> words; ///< empty: the flags are named by numbers
};

struct BlockFields
{
    SetupBlockType type;
    std::span<const ByteField> bytes;
    std::span<const FlagList> lists;
};

constexpr ByteField kOptionBytes[] = {
    {"key-signature", 63, 0, 255},   {"answer-in-c", 64, 0, 255},   {"answer-input", 66, 0, 255},
    {"tone-on-click", 67, 0, 255},   {"first-tone", 68, 0, 255},    {"auto-answer", 69, 0, 255},
    {"tonic-reference", 70, 0, 255}, {"root-movement", 71, 0, 255}, {"extra-option", 72, 0, 255},
    {"highest-note", 80, 0, 127},    {"lowest-note", 81, 0, 127},
};
constexpr const char* kPlayWords[] = {"simultaneous", "up", "down"};
constexpr FlagList kOptionLists[] = {
    {"items", 0, 60, 1, {}},
    {"play", 60, 3, 0, kPlayWords},
};

constexpr ByteField kRhythmBytes[] = {
    {"tempo", 26, 0, 255},        {"bars", 27, 0, 255},     {"rests", 28, 0, 255},
    {"corrections", 29, 0, 5},    {"evaluation", 30, 0, 2}, {"ties", 32, 0, 255},
    {"triplets", 33, 0, 255},     {"dotted", 34, 0, 255},   {"second-time", 36, 0, 255},
    {"triplet-mask", 38, 0, 255},
};
constexpr FlagList kRhythmLists[] = {
    {"time-signatures", 0, 14, 1, {}},
    {"note-values", 20, 6, 1, {}},
};

constexpr ByteField kMelodyBytes[] = {
    {"tones", 0, 0, 255},          {"largest-leap", 1, 0, 255},   {"ambitus", 2, 0, 255},
    {"scale", 3, 0, 255},          {"key-signature", 17, 0, 255}, {"tonic-reference", 18, 0, 255},
    {"tone-on-click", 19, 0, 255}, {"answer-input", 20, 0, 255},  {"auto-answer", 21, 0, 255},
    {"first-tone", 22, 0, 255},    {"rhythms", 24, 0, 255},       {"highest-note", 27, 0, 127},
    {"lowest-note", 28, 0, 127},
};
constexpr FlagList kMelodyLists[] = {
    {"keys", 4, 12, -6, {}},
};

constexpr BlockFields kBlocks[] = {
    {SetupBlockType::Options, kOptionBytes, kOptionLists},
    {SetupBlockType::Rhythm, kRhythmBytes, kRhythmLists},
    {SetupBlockType::Melody, kMelodyBytes, kMelodyLists},
};

const BlockFields* FieldsOf(ExerciseKind kind)
{
    for (const BlockFields& block : kBlocks)
        if (block.type == KindFacts(kind).SetupBlock)
            return &block;
    return nullptr;
}

constexpr const char* kKindNames[10] = {
    "chords",        "intervals",  "comparison", "rhythm-imitation", "rhythm-reading",
    "rhythm-errors", "inversions", "scales",     "melody",           "progressions",
};

std::optional<ExerciseKind> KindOfName(const QString& name)
{
    for (std::size_t i = 0; i < std::size(kKindNames); ++i)
        if (name == QLatin1String(kKindNames[i]))
            return kExerciseKinds[i];
    return std::nullopt;
}

QString Unescape(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text[++i];
            out += next == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

QString Escape(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    out.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return out;
}

std::vector<std::uint8_t> BuiltInItemBody()
{
    const std::vector<std::uint8_t> all = EncodeItemTables(BuiltInItemTables());
    return {all.begin() + static_cast<std::ptrdiff_t>(kItemTablesSize - kTutorItemBodySize),
            all.end()};
}

class Parser
{
public:
    explicit Parser(const QString& baseFolder) : m_base(baseFolder) {}

    Result<TutorFileData, TutorDescriptionError> Run(const QString& text)
    {
        m_data.ItemBody = BuiltInItemBody();
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            m_line = static_cast<int>(i + 1);
            const QString line = lines[i].trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            if (!(line.startsWith(QLatin1Char('[')) ? Section(line) : Field(line)))
                return Fail(m_error, QStringLiteral("line %1: %2").arg(m_line).arg(m_why));
        }
        if (!FinishStep())
            return Fail(m_error, QStringLiteral("line %1: %2").arg(m_line).arg(m_why));
        if (const auto overlong = FindOverlongText(m_data))
            return Fail(TutorDescriptionError::TextTooLong, *overlong);
        return std::move(m_data);
    }

private:
    bool Error(TutorDescriptionError code, const QString& why)
    {
        m_error = code;
        m_why = why;
        return false;
    }

    bool Section(const QString& line)
    {
        if (!FinishStep())
            return false;
        if (!line.endsWith(QLatin1Char(']')))
            return Error(TutorDescriptionError::Syntax, QStringLiteral("a section ends in ']'"));
        const QStringList words =
            line.mid(1, line.size() - 2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const auto kind = words.size() == 2 && words[0] == QLatin1String("step")
                              ? KindOfName(words[1])
                              : std::nullopt;
        if (!kind)
            return Error(TutorDescriptionError::Syntax,
                         QStringLiteral("expected [step <kind>], found %1").arg(line));
        m_kind = kind;
        m_step = TutorStep{};
        m_textLines.clear();
        TakeStepSetup(m_step.Record, *kind, DefaultExerciseSetup());
        return true;
    }

    bool FinishStep()
    {
        if (!m_kind)
            return true;
        m_step.ExtraText = m_textLines.join(QLatin1Char('\n'));
        // A value the setup pages could never hold (a root movement off its list) would be
        // mended silently when the step is applied; it is refused here instead.
        ExerciseSetup setup = DefaultExerciseSetup();
        ApplyStepSetup(m_step.Record, *m_kind, setup);
        TutorStepRecord again = m_step.Record;
        TakeStepSetup(again, *m_kind, setup);
        if (again.SetupBytes != m_step.Record.SetupBytes)
            return Error(TutorDescriptionError::BadValue,
                         QStringLiteral("the step's setup holds a value its kind cannot use"));
        m_data.StepsOf(*m_kind).push_back(m_step);
        m_kind.reset();
        return true;
    }

    bool Number(const QString& value, int min, int max, int& out)
    {
        bool ok = false;
        out = value.toInt(&ok);
        if (!ok || out < min || out > max)
            return Error(
                TutorDescriptionError::BadValue,
                QStringLiteral("%1 is not a number from %2 to %3").arg(value).arg(min).arg(max));
        return true;
    }

    bool Field(const QString& line)
    {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            return Error(TutorDescriptionError::Syntax, QStringLiteral("expected name = value"));
        const QString name = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (!m_kind) {
            if (name == QLatin1String("title"))
                m_data.Header.Title = Unescape(value);
            else if (name == QLatin1String("author"))
                m_data.Header.Author = Unescape(value);
            else if (name == QLatin1String("description"))
                m_data.Header.Description = Unescape(value);
            else
                return Error(TutorDescriptionError::UnknownField,
                             QStringLiteral("the tutor has no field %1").arg(name));
            return true;
        }
        TutorStepRecord& rec = m_step.Record;
        int number = 0;
        if (name == QLatin1String("title")) {
            rec.Title = Unescape(value);
        } else if (name == QLatin1String("description")) {
            rec.Description = Unescape(value);
        } else if (name == QLatin1String("text")) {
            m_textLines.append(Unescape(value));
        } else if (name == QLatin1String("pass")) {
            if (!Number(value, 0, 100, number))
                return false;
            rec.PassMark = static_cast<std::uint8_t>(number);
        } else if (name == QLatin1String("fallback")) {
            if (!Number(value, 0, 100, number))
                return false;
            rec.FallBackMark = static_cast<std::uint8_t>(number);
        } else if (name == QLatin1String("questions")) {
            if (!Number(value, 0, 32767, number))
                return false;
            rec.QuestionCount = static_cast<std::int16_t>(number);
        } else if (name == QLatin1String("setup")) {
            const QString path = QDir(m_base).filePath(value);
            const SetupFileRead read = ReadSetupFile(path);
            if (read.Status != SetupFileStatus::Loaded && read.Status != SetupFileStatus::Converted)
                return Error(TutorDescriptionError::SetupFile,
                             QStringLiteral("%1 is no readable setup file").arg(path));
            TakeStepSetup(rec, *m_kind, read.Setup);
        } else {
            return BlockField(name, value);
        }
        return true;
    }

    bool BlockField(const QString& name, const QString& value)
    {
        const BlockFields* block = FieldsOf(*m_kind);
        auto& bytes = m_step.Record.SetupBytes;
        for (const ByteField& field : block->bytes) {
            if (name != QLatin1String(field.name))
                continue;
            int number = 0;
            if (!Number(value, field.min, field.max, number))
                return false;
            bytes[field.offset] = static_cast<std::uint8_t>(number);
            return true;
        }
        for (const FlagList& list : block->lists) {
            if (name != QLatin1String(list.name))
                continue;
            std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(list.offset), list.count, 0);
            for (const QString& raw : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const QString word = raw.trimmed();
                int index = -1;
                if (!list.words.empty()) {
                    for (std::size_t w = 0; w < list.words.size(); ++w)
                        if (word == QLatin1String(list.words[w]))
                            index = static_cast<int>(w);
                    if (index < 0)
                        return Error(TutorDescriptionError::BadValue,
                                     QStringLiteral("%1 is no entry of %2").arg(word).arg(name));
                } else {
                    int number = 0;
                    if (!Number(word, list.first, list.first + list.count - 1, number))
                        return false;
                    index = number - list.first;
                }
                bytes[list.offset + static_cast<std::size_t>(index)] = 1;
            }
            return true;
        }
        return Error(TutorDescriptionError::UnknownField,
                     QStringLiteral("a %1 step has no field %2")
                         .arg(QLatin1String(kKindNames[KindNumber(*m_kind) - 1]))
                         .arg(name));
    }

    QString m_base;
    TutorFileData m_data;
    std::optional<ExerciseKind> m_kind;
    TutorStep m_step;
    QStringList m_textLines;
    int m_line = 0;
    TutorDescriptionError m_error = TutorDescriptionError::Syntax;
    QString m_why;
};

} // namespace

Result<TutorFileData, TutorDescriptionError> ParseTutorDescription(const QString& text,
                                                                   const QString& baseFolder)
{
    Parser parser(baseFolder);
    return parser.Run(text);
}

QString PrintTutorDescription(const TutorFileData& data)
{
    QString out;
    auto line = [&out](const QString& name, const QString& value) {
        out += name + QStringLiteral(" = ") + value + QLatin1Char('\n');
    };
    line(QStringLiteral("title"), Escape(data.Header.Title));
    line(QStringLiteral("author"), Escape(data.Header.Author));
    line(QStringLiteral("description"), Escape(data.Header.Description));
    if (!data.Header.IsCurrentFormat())
        out += QStringLiteral("# an old-format tutor: its own items are not printed\n");
    for (ExerciseKind kind : kExerciseKinds) {
        const BlockFields* block = FieldsOf(kind);
        for (const TutorStep& step : data.StepsOf(kind)) {
            const TutorStepRecord& rec = step.Record;
            out += QStringLiteral("\n[step %1]\n")
                       .arg(QLatin1String(kKindNames[KindNumber(kind) - 1]));
            line(QStringLiteral("title"), Escape(rec.Title));
            line(QStringLiteral("description"), Escape(rec.Description));
            line(QStringLiteral("pass"), QString::number(rec.PassMark));
            line(QStringLiteral("fallback"), QString::number(rec.FallBackMark));
            line(QStringLiteral("questions"), QString::number(rec.QuestionCount));
            for (const FlagList& list : block->lists) {
                QStringList set;
                for (int i = 0; i < list.count; ++i) {
                    if (rec.SetupBytes[list.offset + static_cast<std::size_t>(i)] == 0)
                        continue;
                    set.append(list.words.empty()
                                   ? QString::number(list.first + i)
                                   : QString::fromLatin1(list.words[static_cast<std::size_t>(i)]));
                }
                line(QString::fromLatin1(list.name), set.join(QStringLiteral(", ")));
            }
            for (const ByteField& field : block->bytes)
                line(QString::fromLatin1(field.name),
                     QString::number(rec.SetupBytes[field.offset]));
            if (!step.ExtraText.isEmpty())
                for (const QString& textLine : step.ExtraText.split(QLatin1Char('\n')))
                    line(QStringLiteral("text"), Escape(textLine));
        }
    }
    return out;
}

} // namespace pv
