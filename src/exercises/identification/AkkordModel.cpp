// How the identification exercise takes a setup in each of its six modes.
#include "exercises/identification/AkkordModel.h"

#include "exercises/progressions/ProgressionNaming.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/notation/NotationTables.h"
#include "music/strings/Format.h"
#include "music/strings/UIStrings.h"

#include <algorithm>

namespace pv {
namespace {

constexpr int kMelodyMaxSamePitch = 5;

std::uint8_t CadenceModeOf(std::uint8_t tonicReference)
{
    return TonicReferenceIsCadence(tonicReference) ? std::uint8_t{2} : std::uint8_t{1};
}

// Melody scales with their own key name (the major, minor and modal scales) leave it out.
bool MelodyScaleShowsKeyName(std::uint8_t scale)
{
    return scale != 1 && scale != 2 && scale != 3 && scale != 4 && scale != 6;
}

} // namespace

IdentificationModeInfo ModeInfo(IdentificationMode mode)
{
    // The kind's own facts come from the kind table; the tip is the window's.
    auto info = [](ExerciseKind kind, std::uint8_t tipTag) {
        const ExerciseKindFacts facts = KindFacts(kind);
        return IdentificationModeInfo{kind, facts.ItemsUsed, facts.HelpContext, tipTag};
    };
    switch (mode) {
    case IdentificationMode::ChordIdentification:
        return info(ExerciseKind::ChordIdentification, 3);
    case IdentificationMode::ChordInversions:
        return info(ExerciseKind::ChordInversions, 3);
    case IdentificationMode::IntervalIdentification:
        return info(ExerciseKind::IntervalIdentification, 2);
    case IdentificationMode::Scales:
        return info(ExerciseKind::Scales, 4);
    case IdentificationMode::MelodyDictation:
        return info(ExerciseKind::MelodyDictation, 0);
    case IdentificationMode::ChordProgressions:
        return info(ExerciseKind::ChordProgressions, 5);
    }
    return {};
}

std::optional<IdentificationMode> ModeOfKind(ExerciseKind kind)
{
    for (IdentificationMode mode : kIdentificationModes) {
        if (ModeInfo(mode).Kind == kind) {
            return mode;
        }
    }
    return std::nullopt;
}

std::optional<int> FixedRootPitchClass(std::uint8_t rule)
{
    const std::uint8_t r = SanitizedRootMovement(rule);
    if (r >= 11 && r <= 22) {
        return r - 11;
    }
    if (r >= 25) {
        return KeyTonicTable(r - 31);
    }
    return std::nullopt;
}

RootRange ComputeRootRange(std::uint8_t rule, int highest, int lowest)
{
    // Spans are reckoned in int: an inverted range or a pitch class with no note in the range
    // would otherwise wrap to 255 roots and send notes far outside MIDI's range.
    RootRange range;
    const std::uint8_t r = SanitizedRootMovement(rule);
    const std::optional<int> pitchClass = FixedRootPitchClass(r);
    int span = 0;
    if (!pitchClass) {
        range.LowNote = lowest;
        span = highest - lowest;
        if (r >= 3) {
            span = std::max(span, 12);
        }
    } else {
        const int p = *pitchClass;
        range.LowNote = (lowest / 12) * 12 + p;
        if (range.LowNote < lowest) {
            range.LowNote += 12;
        }
        const int h = (highest / 12) * 12 + p - 1;
        span = h - range.LowNote;
        if (h < highest) {
            span += 12;
        }
    }
    range.RootSpan = std::max(span, 1);
    return range;
}

AkkordModel::AkkordModel(IdentificationMode mode, ExerciseSession& session,
                         ControlStripModel& strip, const UIStringTable& strings)
    : Mode(mode), m_session(&session), m_strip(&strip), m_strings(&strings)
{
}

void AkkordModel::Setup(const ExerciseSetup& setup, const ItemTables& items,
                        const AkkordSettings& settings, bool reset)
{
    Settings = settings;
    if (const QString major = items.ChordIdentification.Name(1); !major.isEmpty())
        Sheet.MajorWord = major;
    if (const QString minor = items.ChordIdentification.Name(2); !minor.isEmpty())
        Sheet.MinorWord = minor;
    switch (Mode) {
    case IdentificationMode::ChordIdentification:
        SetupChordId(setup, items, settings, reset);
        break;
    case IdentificationMode::ChordInversions:
        SetupChordInversions(setup, items, settings, reset);
        break;
    case IdentificationMode::IntervalIdentification:
        SetupIntervalId(setup, items, settings, reset);
        break;
    case IdentificationMode::Scales:
        SetupScales(setup, items, settings, reset);
        break;
    case IdentificationMode::MelodyDictation:
        // The melody is built from the tables of this setup, whatever changes them later.
        m_melodyItems = std::make_shared<const ItemTables>(items);
        SetupMelody(setup, settings, reset);
        break;
    case IdentificationMode::ChordProgressions:
        SetupChordProgression(setup, items, settings, reset);
        break;
    }
}

void AkkordModel::ResetForSetup(bool reset)
{
    if (reset) {
        m_session->ClearCounters();
        RightPictureShown = false;
    }
    m_strip->ButtonEnabled[0] = true;
    m_session->Answered = true;
    HeldNote = TNoteRec{};
    EntryTool = kEntryToolAdd;
    ClearShownAnswer();
}

void AkkordModel::ClearShownAnswer()
{
    // The result line, the staff's correction and the instruments' dots all mirror these: a
    // widget cleared alone would show the old answer again at its next repaint.
    ResultLabel.clear();
    EnteredNotes.fill(TNoteRec{});
    EnteredCount = 0;
    DisplayedNoteCount = 0;
    AnsweredItem = 0;
    BlinkRunning = false;
    BlinkCount = 0;
    ButtonColour.fill(AnswerPanelColour::Face);
}

void AkkordModel::SetupExercise(bool reset, const OptionBlock& block,
                                std::span<const AkkordItem> items, int n)
{
    ResetForSetup(reset);
    m_session->AnswerInputLock = AnswerInputLockOf(block.AnswerInput);
    for (std::size_t b = 1; b <= 3; ++b) {
        m_strip->ButtonEnabled[b] = false;
    }
    m_strip->FocusIndex = 0;

    PlayStyleCount = 0;
    for (std::uint8_t s = 0; s < 3; ++s) {
        if (block.PlayStyles[s] != 0) {
            PlayStyles[PlayStyleCount++] = s;
        }
    }
    if (PlayStyleCount == 0) {
        PlayStyles[0] = kPlaySimultaneous;
        PlayStyleCount = 1;
    }

    Sheet.ShowKeySignature = block.ShowKeySignature != 0;
    PlayToneOnClick = block.PlayToneOnClick != 0;
    ShowFirstTone = block.ShowFirstTone != 0;
    AutoAnswer = block.AutoAnswer != 0;
    TonicContext = PlaysTonicReference(block.TonicReference);
    CadenceMode = CadenceModeOf(block.TonicReference);
    RootMovementRule = SanitizedRootMovement(block.RootMovement);

    const RootRange range = ComputeRootRange(RootMovementRule, block.HighestNote, block.LowestNote);
    LowNote = range.LowNote;
    RootSpan = range.RootSpan;

    IntervalInKey = block.ExtraOption;
    QuestionRoot = 60;
    Sheet.KeyOffset = 0;
    CurrentPlayStyle = kPlaySimultaneous;
    QuestionNoteCount = 0;
    EnteredCount = 0;

    const int count =
        std::clamp(n, 0, std::min(static_cast<int>(kItemCount), static_cast<int>(items.size())));
    for (int i = 1; i <= static_cast<int>(kItemCount); ++i) {
        AkkordItem& target = ExerciseItem[static_cast<std::size_t>(i)];
        // Counts of items the setup no longer has would be stored under items it does not ask.
        if (reset || i > count) {
            m_session->Items[static_cast<std::size_t>(i)] = ItemCounts{};
        }
        if (i <= count) {
            target = items[static_cast<std::size_t>(i - 1)];
            if (!IsUsableCount(target.NoteCount)) {
                target.NoteCount = 0;
            }
            target.Name.truncate(static_cast<qsizetype>(kItemNameCapacity));
        } else {
            target.NoteCount = 0;
        }
    }

    // Only items that can be asked become buttons: an empty slot (or a damaged count) would
    // put a question of no notes, and the inversion arithmetic divides by the count.
    ButtonCount = 0;
    ButtonItems.fill(0);
    m_buttonOfItem.fill(0);
    for (int i = 1; i <= count; ++i) {
        if (block.ItemFlags[static_cast<std::size_t>(i - 1)] == 0 ||
            ExerciseItem[static_cast<std::size_t>(i)].NoteCount == 0) {
            continue;
        }
        ++ButtonCount;
        ButtonItems[ButtonCount] = static_cast<std::uint8_t>(i);
        m_buttonOfItem[static_cast<std::size_t>(i)] = ButtonCount;
    }
    m_buttonEnabled.fill(true);
    ButtonColour.fill(AnswerPanelColour::Face);
    MaxSamePitch = Mode == IdentificationMode::IntervalIdentification ? 2 : 1;
}

void AkkordModel::SetupChordId(const ExerciseSetup& setup, const ItemTables& items,
                               const AkkordSettings& /*settings*/, bool reset)
{
    if (reset) {
        HelpContext = 10;
        Sheet.Chord = true;
        TipTag = 3;
    }
    const auto table = AkkordItemsOfTable(items.ChordIdentification);
    SetupExercise(reset, setup.ChordIdentification, table, 60);
    MakeArpeggiosHeld();
}

void AkkordModel::SetupChordInversions(const ExerciseSetup& setup, const ItemTables& items,
                                       const AkkordSettings& settings, bool reset)
{
    if (reset) {
        Sheet.Chord = true;
        Sheet.ShowKeyName = settings.ShowKeyName;
        TipTag = 3;
    }
    const auto table = AkkordItemsOfTable(items.ChordInversions);
    SetupExercise(reset, setup.ChordInversions, table, 60);
    MakeArpeggiosHeld();
}

void AkkordModel::SetupIntervalId(const ExerciseSetup& setup, const ItemTables& items,
                                  const AkkordSettings& settings, bool reset)
{
    if (reset) {
        HelpContext = 20;
        Sheet.Chord = true;
        Sheet.ShowKeyName = settings.ShowKeyName;
        TipTag = 2;
    }
    const auto table = AkkordItemsOfTable(items.IntervalIdentification);
    SetupExercise(reset, setup.IntervalIdentification, table, 30);
    MakeArpeggiosHeld();
    Sheet.Syllables = setup.IntervalIdentification.ExtraOption != 0;
}

void AkkordModel::SetupScales(const ExerciseSetup& setup, const ItemTables& items,
                              const AkkordSettings& /*settings*/, bool reset)
{
    if (reset) {
        HelpContext = 10;
        Sheet.Chord = false;
        Sheet.ShowKeyName = false;
        TipTag = 4;
    }
    const auto table = AkkordItemsOfTable(items.Scales);
    SetupExercise(reset, setup.Scales, table, 60);
    CurrentPlayStyle = kPlayUp;
    PlayStyleBarAllowed = false;
}

void AkkordModel::SetupMelody(const ExerciseSetup& setup, const AkkordSettings& settings,
                              bool reset)
{
    const MelodySetup& melody = setup.Melody;
    m_melodySetup = melody;
    m_drawnMelody.reset();
    HalfToolEnabled = true;
    WholeToolEnabled = true;
    if (reset) {
        HelpContext = 10;
        Sheet.Chord = false;
    }
    ResetForSetup(reset);
    m_session->AnswerInputLock = AnswerInputLockOf(melody.AnswerInput);
    m_strip->ButtonEnabled[1] = false;
    PlayStyleCount = 1;
    Sheet.ShowKeySignature = melody.ShowKeySignature != 0;
    Sheet.ShowKeyName = settings.ShowKeyName && MelodyScaleShowsKeyName(melody.Scale);
    ExtraEntryButtons = melody.Rhythms != 0;
    CurrentPlayStyle = ExtraEntryButtons ? kPlayDurations : kPlayUp;
    PlayStyles[0] = CurrentPlayStyle;
    PlayToneOnClick = melody.PlayToneOnClick != 0;
    TonicContext = PlaysTonicReference(melody.TonicReference);
    CadenceMode = CadenceModeOf(melody.TonicReference);
    AutoAnswer = melody.AutoAnswer != 0;
    ShowFirstTone = melody.ShowFirstTone != 0;
    Sheet.Syllables = true;
    MaxSamePitch = kMelodyMaxSamePitch;
    PlayStyleBarAllowed = false;
    // A melody has no items: no answer button may survive from anything before.
    ButtonCount = 0;
    ButtonItems.fill(0);
    m_buttonOfItem.fill(0);
}

void AkkordModel::SetupChordProgression(const ExerciseSetup& setup, const ItemTables& items,
                                        const AkkordSettings& settings, bool reset)
{
    if (reset) {
        Sheet.Chord = true;
        Sheet.ShowKeyName = settings.ShowKeyName;
        StaffTipButtonShown = false;
        TipTag = 5;
    }
    AlterationBarShown = true;
    AlterationCaptions[0] = items.ChordIdentification.Name(1);
    AlterationCaptions[1] = items.ChordIdentification.Name(2);
    for (int b = 2; b < kAlterationButtonCount; ++b) {
        AlterationCaptions[static_cast<std::size_t>(b)] = ChordSymbol(b);
    }

    m_chordItems = items.ChordIdentification;
    const auto table = AkkordItemsOfProgressions(items);
    SetupExercise(reset, setup.ChordProgressions, table, 60);
    MakeArpeggiosHeld();

    AlterationVisible.fill(false);
    for (int b = 1; b <= ButtonCount; ++b) {
        const AkkordItem& item = ExerciseItem[ButtonItems[static_cast<std::size_t>(b)]];
        for (std::size_t k = 0; k < item.NoteCount; ++k) {
            AlterationVisible[static_cast<std::size_t>(AlterationButtonOfChordType(item.Code[k]))] =
                true;
        }
    }
}

void AkkordModel::MakeArpeggiosHeld()
{
    for (std::size_t s = 0; s < PlayStyleCount; ++s) {
        if (PlayStyles[s] == kPlayUp) {
            PlayStyles[s] = kPlayHeldUp;
        } else if (PlayStyles[s] == kPlayDown) {
            PlayStyles[s] = kPlayHeldDown;
        }
    }
    StyleButtonTags = {kPlaySimultaneous, kPlayHeldUp, kPlayHeldDown};
}

int AkkordModel::ButtonOfItem(int item) const
{
    if (item < 1 || item > static_cast<int>(kItemCount)) {
        return 0;
    }
    return m_buttonOfItem[static_cast<std::size_t>(item)];
}

int AkkordModel::ItemOfButton(int button) const
{
    if (button < 1 || button > ButtonCount) {
        return 0;
    }
    return ButtonItems[static_cast<std::size_t>(button)];
}

QString AkkordModel::ButtonCaption(int button) const
{
    const int item = ItemOfButton(button);
    return item == 0 ? QString() : ExerciseItem[static_cast<std::size_t>(item)].Name;
}

void AkkordModel::ResetResults()
{
    // The open question (if any) is dropped with its results: nothing can be repeated or
    // checked until a new one is put.
    m_strip->ButtonEnabled[0] = true;
    m_strip->ButtonEnabled[1] = false;
    m_strip->ButtonEnabled[3] = false;
    m_session->Answered = true;
    m_session->ClearResults();
    HeldNote.Pitch = TPitch{};
    RightPictureShown = false;
    ClearShownAnswer();
}

ScoreDisplay AkkordModel::Score() const
{
    const UIStringTable& strings = *m_strings;
    ScoreDisplay score;
    const std::uint64_t asked = m_session->QuestionCount;
    const std::uint64_t right = m_session->CorrectCount;
    score.Gauge = m_session->ScoreGauge();
    const QString& format = Mode == IdentificationMode::MelodyDictation ? strings.StrIdentFormat2
                                                                        : strings.StrIdentFormat1;
    score.Label =
        Format(format, {static_cast<std::int64_t>(right), static_cast<std::int64_t>(asked)});
    return score;
}

std::uint8_t AkkordModel::EffectiveAnswerInput(std::uint8_t userChoice) const
{
    return m_session->AnswerInputLock != 0 ? m_session->AnswerInputLock : userChoice;
}

AnswerPanels AkkordModel::PanelsOf(std::uint8_t answerInput) const
{
    AnswerPanels panels;
    panels.Buttons = (answerInput & 1) != 0;
    panels.Piano = (answerInput & 2) != 0;
    panels.Guitar = (answerInput & 4) != 0;
    panels.Staff = (answerInput & 8) != 0;
    panels.AlterationBar =
        Mode == IdentificationMode::ChordProgressions && (panels.Piano || panels.Guitar);
    return panels;
}

void AkkordModel::SetAnswerInput(std::uint8_t bits)
{
    // A melody is answered by writing it: whatever the settings or the setup's lock ask for,
    // its staff is there.
    if (Mode == IdentificationMode::MelodyDictation) {
        bits = static_cast<std::uint8_t>(bits | kAnswerOnStaff);
    }
    AnswerInput = bits;
    // Only switched off here: a question's state decides when "check" comes on.
    m_strip->ButtonEnabled[3] = m_strip->ButtonEnabled[3] && bits != kAnswerByName;
    Sheet.GuitarView = (bits & kAnswerOnGuitar) != 0 && (bits & kAnswerOnPiano) == 0;
}

AnswerPanels AkkordModel::ShownPanels() const
{
    AnswerPanels panels = PanelsOf(AnswerInput);
    panels.AlterationBar = panels.AlterationBar && AlterationBarShown;
    return panels;
}

namespace {

/// Whether tip number tag is offered; a tag of no tip leaves its button as the window has it.
bool TipOfTagOffered(std::uint32_t mask, int tag)
{
    return tag < 1 || tag > 32 || (mask & (1U << static_cast<unsigned>(tag - 1))) != 0;
}

} // namespace

bool AkkordModel::AnswerTipAllowed() const
{
    return Settings.TipsOffered && TipOfTagOffered(Settings.TipsMask, TipTag) &&
           AnswerInput != kAnswerByName;
}

bool AkkordModel::StaffTipShown() const
{
    return StaffTipButtonShown && TipOfTagOffered(Settings.TipsMask, 1);
}

void AkkordModel::ChoosePlayStyle(int styleButton)
{
    if (styleButton < 0 || styleButton >= static_cast<int>(StyleButtonTags.size())) {
        return;
    }
    CurrentPlayStyle = StyleButtonTags[static_cast<std::size_t>(styleButton)];
}

std::array<AkkordItem, kItemCount> AkkordItemsOfTable(const ItemTable& table)
{
    std::array<AkkordItem, kItemCount> items{};
    for (std::size_t i = 0; i < kItemCount; ++i) {
        AkkordItem& item = items[i];
        const ItemDefinition& def = table.Items[i];
        for (std::size_t k = 0; k < kItemNoteCount; ++k) {
            item.Pitch[k] = static_cast<std::int8_t>(def.Notes[k].Note - 60);
            item.Shift[k] = def.Notes[k].Shift;
            item.Code[k] = def.Notes[k].Code;
        }
        item.NoteCount = IsUsableCount(table.Counts[i]) ? table.Counts[i] : std::uint8_t{0};
        item.Name = table.Names[i].left(static_cast<qsizetype>(kItemNameCapacity));
    }
    return items;
}

std::array<AkkordItem, kItemCount> AkkordItemsOfProgressions(const ItemTables& tables)
{
    std::array<AkkordItem, kItemCount> items{};
    for (std::size_t i = 0; i < kItemCount; ++i) {
        AkkordItem& item = items[i];
        const ProgressionDefinition& def = tables.Progressions[i];
        for (std::size_t k = 0; k < kItemNoteCount; ++k) {
            item.Pitch[k] = static_cast<std::int8_t>(def.Chords[k].Root - 60);
            item.Shift[k] = def.Chords[k].Shift;
            item.Code[k] = def.Chords[k].ChordType;
        }
        const std::uint8_t count = tables.ProgressionCounts[i];
        item.NoteCount = IsUsableCount(count) ? count : std::uint8_t{0};
        item.Name = ProgressionName(def.Chords, item.NoteCount)
                        .left(static_cast<qsizetype>(kItemNameCapacity));
    }
    return items;
}

int AlterationButtonOfChordType(int chordType)
{
    if (chordType >= 0 && chordType <= 16) {
        return chordType;
    }
    if (chordType == 23) {
        return 17;
    }
    if (chordType == 25) {
        return 18;
    }
    return 0;
}

} // namespace pv
