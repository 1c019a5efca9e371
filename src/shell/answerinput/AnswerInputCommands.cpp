// The Answer Input menu as rows over the settings record.
#include "shell/answerinput/AnswerInputCommands.h"

#include <initializer_list>

namespace pv {

namespace {

constexpr std::uint8_t kByName = 1;
constexpr std::uint8_t kPiano = 2;
constexpr std::uint8_t kGuitar = 4;
constexpr std::uint8_t kStaff = 8;
constexpr std::uint8_t kAnswerBits = kByName | kPiano | kGuitar | kStaff;
/// What a fresh settings record holds: by name and on the staff.
constexpr std::uint8_t kDefaultAnswerInput = kByName | kStaff;

constexpr int kMelodyDictation = 9;
constexpr int kChordProgressions = 10;

bool KindIn(std::optional<ExerciseKind> kind, std::initializer_list<int> numbers)
{
    if (!kind)
        return false;
    for (int n : numbers) {
        if (KindNumber(*kind) == n)
            return true;
    }
    return false;
}

/// The kinds answered in an identification window, the ones the answer inputs are for.
bool IdentificationKind(std::optional<ExerciseKind> kind)
{
    return KindIn(kind, {1, 2, 7, 8, 9, 10});
}

/// The kinds whose setup page shows a note range on an instrument.
bool RangeSetupKind(std::optional<ExerciseKind> kind)
{
    return KindIn(kind, {1, 2, 3, 7, 8, 9, 10});
}

std::size_t PairOf(ExerciseKind kind)
{
    return static_cast<std::size_t>(KindNumber(kind));
}

CommandRow EntryRow(const char* id, const char* text, int key)
{
    CommandRow row;
    row.Id = QString::fromLatin1(id);
    row.TextId = QStringLiteral("MainForm.") + row.Id;
    row.Text = QString::fromLatin1(text);
    row.Key = key;
    return row;
}

} // namespace

QString AnswerEntryId(AnswerEntry entry)
{
    switch (entry) {
    case AnswerEntry::Notesheet1:
        return QStringLiteral("Notesheet1");
    case AnswerEntry::Answerbyname1:
        return QStringLiteral("Answerbyname1");
    case AnswerEntry::Guitar1:
        return QStringLiteral("Guitar1");
    case AnswerEntry::Screenpiano1:
        return QStringLiteral("Screenpiano1");
    }
    return {};
}

std::uint8_t AnswerEntryBit(AnswerEntry entry)
{
    switch (entry) {
    case AnswerEntry::Notesheet1:
        return kStaff;
    case AnswerEntry::Answerbyname1:
        return kByName;
    case AnswerEntry::Guitar1:
        return kGuitar;
    case AnswerEntry::Screenpiano1:
        return kPiano;
    }
    return 0;
}

AnswerMenuEnabling AnswerMenuEnablingFor(MainView view, std::optional<ExerciseKind> kind,
                                         std::uint8_t lock)
{
    AnswerMenuEnabling e;
    switch (view) {
    case MainView::Exercise: {
        // A setup that forces the answer inputs leaves the user no choice of them; the
        // microphone and MIDI input are no answer panels and stay free.
        const bool unlocked = !(IdentificationKind(kind) && lock != 0);
        e.Name = unlocked && KindIn(kind, {1, 2, 7, 8, 10});
        e.PianoAndGuitar = unlocked && IdentificationKind(kind);
        e.Staff = unlocked && KindIn(kind, {1, 2, 7, 8});
        e.MicAndMidi = KindIn(kind, {1, 2, 4, 5, 7, 8, 9});
        break;
    }
    case MainView::ExerciseSetup:
        e.NameShown = false;
        e.PianoAndGuitar = RangeSetupKind(kind);
        e.Staff = e.PianoAndGuitar;
        break;
    default:
        break;
    }
    return e;
}

std::uint8_t SetupInstrumentOf(std::uint8_t stored)
{
    return stored == kPiano || stored == kGuitar ? stored : kStaff;
}

AnswerInputCommands::AnswerInputCommands(AnswerInputServices services) : m_s(std::move(services)) {}

AnswerMenuEnabling AnswerInputCommands::Enabling() const
{
    const std::optional<ExerciseKind> kind = m_s.State.CurrentKind;
    const std::uint8_t lock = kind && m_s.Lock ? m_s.Lock(*kind) : 0;
    return AnswerMenuEnablingFor(m_s.State.CurrentView, kind, lock);
}

bool AnswerInputCommands::Enabled(AnswerEntry entry) const
{
    const AnswerMenuEnabling e = Enabling();
    switch (entry) {
    case AnswerEntry::Notesheet1:
        return e.Staff;
    case AnswerEntry::Answerbyname1:
        return e.Name;
    case AnswerEntry::Guitar1:
    case AnswerEntry::Screenpiano1:
        return e.PianoAndGuitar;
    }
    return false;
}

std::uint8_t AnswerInputCommands::BitsOfTicks() const
{
    std::uint8_t bits = 0;
    for (AnswerEntry entry : kAnswerEntries) {
        if (Ticked(entry))
            bits = static_cast<std::uint8_t>(bits | AnswerEntryBit(entry));
    }
    return bits;
}

void AnswerInputCommands::TickInstrument(std::uint8_t instrument)
{
    m_ticks[Index(AnswerEntry::Answerbyname1)] = false;
    for (AnswerEntry entry :
         {AnswerEntry::Notesheet1, AnswerEntry::Guitar1, AnswerEntry::Screenpiano1})
        m_ticks[Index(entry)] = AnswerEntryBit(entry) == instrument;
}

void AnswerInputCommands::ApplyAnswerInput(bool fromSwitch)
{
    const std::optional<ExerciseKind> kind = m_s.State.CurrentKind;
    const MainView view = m_s.State.CurrentView;
    if (m_s.ShowNameEntry)
        m_s.ShowNameEntry(view != MainView::ExerciseSetup);
    if (!kind)
        return;
    const int number = KindNumber(*kind);
    TSettingsRec& settings = m_s.Settings;

    if (view == MainView::Exercise) {
        m_radio = false;
        std::uint8_t& stored = settings.KindPairs[PairOf(*kind)][0];
        std::uint8_t bits = 0;
        if (fromSwitch) {
            // Bits a damaged settings file left without any answer panel would leave nothing
            // to answer with: the fresh record's choice stands in.
            bits = static_cast<std::uint8_t>(stored & kAnswerBits);
            if (bits == 0)
                bits = kDefaultAnswerInput;
            const bool staffAlways = number == kMelodyDictation || number == kChordProgressions;
            m_ticks[Index(AnswerEntry::Answerbyname1)] =
                (bits & kByName) != 0 && number != kMelodyDictation;
            m_ticks[Index(AnswerEntry::Screenpiano1)] = (bits & kPiano) != 0;
            m_ticks[Index(AnswerEntry::Guitar1)] = (bits & kGuitar) != 0;
            m_ticks[Index(AnswerEntry::Notesheet1)] = (bits & kStaff) != 0 || staffAlways;
        } else {
            bits = BitsOfTicks();
            stored = bits;
        }
        if (IdentificationKind(kind) && m_s.ShowAnswerInput)
            m_s.ShowAnswerInput(*kind, bits);
        return;
    }

    if (view == MainView::ExerciseSetup) {
        m_radio = true;
        // One instrument for the setup pages of every kind, kept in kind 1's pair.
        std::uint8_t& stored = settings.KindPairs[1][1];
        const std::uint8_t instrument =
            SetupInstrumentOf(fromSwitch ? stored : static_cast<std::uint8_t>(BitsOfTicks()));
        if (!fromSwitch)
            stored = instrument;
        TickInstrument(instrument);
        if (RangeSetupKind(kind) && m_s.RefreshSetupPage)
            m_s.RefreshSetupPage(*kind);
    }
}

void AnswerInputCommands::Answerbyname1Click(AnswerEntry sender)
{
    bool& tick = m_ticks[Index(sender)];
    tick = !tick;
    if (m_radio && tick) {
        for (AnswerEntry other : kAnswerEntries) {
            if (other != sender)
                m_ticks[Index(other)] = false;
        }
    }
    // The last answer panel taken away would leave the exercise with nothing to answer on:
    // the entry keeps its tick.
    if (!m_radio && m_s.State.CurrentView == MainView::Exercise && BitsOfTicks() == 0) {
        tick = true;
        return;
    }
    ApplyAnswerInput(false);
}

void AnswerInputCommands::MidiInSwitched()
{
    const std::optional<ExerciseKind> kind = m_s.State.CurrentKind;
    if (m_s.Settings.MidiInputOn && m_s.State.CurrentView == MainView::Exercise && kind) {
        if (m_s.StartMidiInput)
            m_s.StartMidiInput(*kind);
    } else if (m_s.StopMidiInput) {
        m_s.StopMidiInput();
    }
}

std::vector<CommandRow> AnswerInputCommands::Rows()
{
    struct Entry
    {
        AnswerEntry entry;
        const char* text;
        int key;
    };
    const Entry entries[] = {
        {AnswerEntry::Notesheet1, "&Staff", (Qt::SHIFT | Qt::Key_F5).toCombined()},
        {AnswerEntry::Answerbyname1, "By &name", (Qt::SHIFT | Qt::Key_F6).toCombined()},
        {AnswerEntry::Guitar1, "&Guitar", (Qt::SHIFT | Qt::Key_F7).toCombined()},
        {AnswerEntry::Screenpiano1, "&Piano", (Qt::SHIFT | Qt::Key_F8).toCombined()},
    };
    std::vector<CommandRow> rows;
    for (const Entry& e : entries) {
        CommandRow row = EntryRow("", e.text, e.key);
        row.Id = AnswerEntryId(e.entry);
        row.TextId = QStringLiteral("MainForm.") + row.Id;
        row.Checkable = true;
        row.Enabled = [this, entry = e.entry] { return Enabled(entry); };
        row.Checked = [this, entry = e.entry] { return Ticked(entry); };
        row.Run = [this, entry = e.entry] { Answerbyname1Click(entry); };
        rows.push_back(std::move(row));
    }
    CommandRow microphone =
        EntryRow("Microphone1", "&Microphone", (Qt::SHIFT | Qt::Key_F11).toCombined());
    microphone.Enabled = [this] { return Enabling().MicAndMidi; };
    // The tick tells whether the microphone listens, also after a press of the button itself or
    // an open that failed and released it.
    microphone.Checkable = true;
    microphone.Checked = [this] { return m_s.MicrophoneDown && m_s.MicrophoneDown(); };
    microphone.Run = [toggle = m_s.ToggleMicrophone] {
        if (toggle)
            toggle();
    };
    rows.push_back(std::move(microphone));
    return rows;
}

bool AnswerInputCommands::Register(CommandRegistry& registry)
{
    return registry.Register(QStringLiteral("answer input"), Rows());
}

} // namespace pv
