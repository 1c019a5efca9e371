// How the identification exercise puts its playbacks on the sequencer.
#include "exercises/identification/AkkordPlayback.h"

#include "music/notation/NotationTables.h"
#include "music/sequencer/MidiMessage.h"
#include "music/staff/KeyState.h"
#include "music/staff/Sheet.h"

#include <algorithm>

namespace pv {
namespace {

constexpr std::uint32_t kQuarter = kQuarterTicks;
constexpr std::uint32_t kDottedQuarter = 3 * kQuarter / 2;
constexpr std::uint32_t kHalf = 2 * kQuarter;
constexpr std::uint32_t kBar = kWholeTicks;
constexpr int kAllNotesOff = 123;
constexpr auto kMusic = SequencerQueue::Music;

} // namespace

AkkordPlayback::AkkordPlayback(AkkordModel& model, TMidiOut& midiOut)
    : m_model(model), m_midiOut(midiOut)
{
}

SoundRecord AkkordPlayback::Voice() const
{
    const MidiVoiceSettings voices = m_midiOut.Voices();
    return Guitar() ? voices.guitar : voices.piano;
}

int AkkordPlayback::SpelledShift(int note) const
{
    NoKeysHeld keys;
    NoteSpacing unused; // the spelling lays nothing out
    TSheet sheet(keys, unused);
    sheet.SetKeySignature(m_model.Sheet.KeySignature);
    sheet.SetMode(m_model.Sheet.Minor ? 1 : 0);
    return sheet.KeySpelling(note);
}

void AkkordPlayback::PlayQuestion(int kind)
{
    AkkordModel& m = m_model;
    ControlStripModel& strip = m.Strip();
    strip.ButtonEnabled[1] = false;
    strip.ButtonEnabled[2] = false;
    m.StopAutoNewQuestion();
    m_midiOut.StopQueue();
    // A tonic held by an earlier playback that was cut short must not block note entry.
    if (m.HeldSource == kHeldByProgram) {
        m.ExternalHold = false;
    }

    int leadTime = 0;
    if ((kind == kPlayNewQuestion && m.TonicContext) || kind == kPlayTonicOnly) {
        QueueTonicContext(kind, leadTime);
    }
    if (m.Mode == IdentificationMode::MelodyDictation && m.ExtraEntryButtons &&
        (kind == kPlayNewQuestion || kind == kPlayRepeat) &&
        (Settings.Metronome || Settings.CountIn)) {
        QueueCountIn(leadTime);
    }

    const bool interval = m.Mode == IdentificationMode::IntervalIdentification;
    const auto queueChords = [this](const VoicedProgression& voiced) {
        for (std::size_t j = 0; j + 1 < voiced.Counts.size(); ++j) {
            const auto from = static_cast<std::size_t>(voiced.Counts[j]);
            const int count = voiced.Counts[j + 1] - voiced.Counts[j];
            if (from < voiced.Notes.size() && count > 0) {
                QueueNotes(std::span(voiced.Notes).subspan(from), count, false);
            }
        }
    };
    if (kind == kPlayNewQuestion || kind == kPlayRepeat) {
        if (m.Mode == IdentificationMode::ChordProgressions) {
            queueChords(m.ProgressionNotes);
        } else {
            QueueNotes(m.QuestionNotes, m.QuestionNoteCount, interval);
        }
    } else if (kind == kPlayEnteredAnswer && m.EnteredCount > 0) {
        if (m.Mode == IdentificationMode::ChordProgressions) {
            queueChords(m.VoiceEnteredChords());
        } else {
            QueueNotes(m.EnteredNotes, m.EnteredCount, interval);
        }
    }
    Start();
}

void AkkordPlayback::QueueTonicContext(int kind, int& leadTime)
{
    AkkordModel& m = m_model;
    const MidiVoiceSettings voices = m_midiOut.Voices();
    const SoundRecord voice = Voice();
    const int channel = voice.channel;
    const int velocity = voice.velocity;
    const int root = m.QuestionRoot;
    int t = (root / 12) * 12 + KeyTonicTable(m.Sheet.KeySignature) - (m.Sheet.Minor ? 3 : 0);
    if (t > root) {
        t -= 12;
    }
    if (root - t >= 12) {
        t += 12;
    }
    if (Guitar() && !voices.guitarNotTransposed) {
        t -= 12;
    }
    t = std::clamp(t, 0, 115);
    m.TonicNote = t;

    const auto on = [&](int note) {
        m_midiOut.QueueMessage(kMusic, NoteOnMessage(channel, note, velocity));
    };
    const auto off = [&](int note) {
        m_midiOut.QueueMessage(kMusic, NoteOffMessage(channel, note));
    };
    const bool firstTone = m.ShowFirstTone && kind == kPlayNewQuestion;
    if (m.CadenceMode == 1) {
        on(t);
        m_midiOut.QueueWait(kMusic, kDottedQuarter);
        off(t);
        m_midiOut.QueueNotify(kNotifyUpperTonic);
        on(t + 12);
        m_midiOut.QueueWait(kMusic, kDottedQuarter);
        off(t + 12);
        m_midiOut.QueueMessage(kMusic, ControlChangeMessage(channel, kAllNotesOff, 0));
        m_midiOut.QueueNotify(kNotifyTonicEnd);
        m_midiOut.QueueWait(kMusic, kHalf);
        if (firstTone) {
            m_midiOut.QueueNotify(kNotifyFirstTone);
        }
        m.ExternalHold = true;
        PressNote(TPitch{static_cast<std::int8_t>(t), static_cast<std::int8_t>(SpelledShift(t))},
                  kHeldByProgram);
        leadTime = 3360;
        return;
    }
    const int minor = m.Sheet.Minor ? 1 : 0;
    const std::array<std::array<int, 4>, 4> chords = {{{t, t + 4 - minor, t + 7, t + 12},
                                                       {t - 7, t + 5, t + 9 - minor, t + 12},
                                                       {t - 5, t + 2, t + 5, t + 11},
                                                       {t, t + 4 - minor, t + 7, t + 12}}};
    const std::array<std::uint32_t, 4> lengths = {kHalf, kQuarter, kQuarter, kHalf};
    for (std::size_t c = 0; c < chords.size(); ++c) {
        for (int note : chords[c]) {
            on(std::clamp(note, 0, 127));
        }
        m_midiOut.QueueWait(kMusic, lengths[c]);
        for (int note : chords[c]) {
            off(std::clamp(note, 0, 127));
        }
    }
    m_midiOut.QueueWait(kMusic, kHalf);
    // The first tone is shown after a cadence as after base tones.
    if (firstTone) {
        m_midiOut.QueueNotify(kNotifyFirstTone);
    }
    leadTime = static_cast<int>(kBar);
}

void AkkordPlayback::QueueCountIn(int leadTime)
{
    AkkordModel& m = m_model;
    m_midiOut.QueueWait(SequencerQueue::Click, static_cast<std::uint32_t>(leadTime));
    std::uint32_t sum = 0;
    for (std::size_t k = 0; k < std::min<std::size_t>(m.QuestionNoteCount, kItemNoteCount); ++k) {
        sum += DurationTicksOf(m.QuestionNotes[k].Duration);
    }
    const std::uint32_t bars = sum / DurationTicks[1] + 1;
    for (std::uint32_t bar = 0; bar < bars; ++bar) {
        for (std::uint16_t beat = 1; beat <= 4; ++beat) {
            const bool first = beat == 1;
            m_midiOut.QueueClick(static_cast<std::uint16_t>(kQuarter), first ? 0 : 2,
                                 !Settings.Metronome,
                                 first ? Settings.FirstBeatSound : Settings.BeatSound, 0,
                                 static_cast<std::uint16_t>(4 + beat));
        }
    }
    if (m.CadenceMode == 1 || leadTime == 0) {
        m_midiOut.QueueWait(kMusic, kBar);
    }
}

void AkkordPlayback::QueueNotes(std::span<const TNoteRec> notes, int count, bool interval)
{
    count = std::clamp<int>(count, 0, static_cast<int>(notes.size()));
    // A unison played at once sounds once.
    if (interval && count == 2 && notes[0].Pitch.Note == notes[1].Pitch.Note &&
        m_model.CurrentPlayStyle == kPlaySimultaneous) {
        count = 1;
    }
    if (count == 0) {
        return;
    }
    m_midiOut.PlayNotes(notes, static_cast<std::uint8_t>(count),
                        static_cast<TPlayMode>(m_model.CurrentPlayStyle), Guitar());
}

void AkkordPlayback::Start()
{
    ControlStripModel& strip = m_model.Strip();
    strip.ButtonEnabled[kStopButton] = true;
    strip.FocusIndex = static_cast<int>(kStopButton);
    m_midiOut.QueueNotify(kNotifyPlaybackEnd);
    m_midiOut.StartQueue();
}

void AkkordPlayback::PlayAnswerItem(int item)
{
    const std::vector<TNoteRec> notes = m_model.AnswerItemNotes(item);
    if (notes.empty()) {
        return;
    }
    PlayNotesNow(notes);
}

void AkkordPlayback::PlayNotesNow(std::span<const TNoteRec> notes)
{
    if (notes.empty()) {
        return;
    }
    m_midiOut.StopQueue();
    QueueNotes(notes, static_cast<int>(notes.size()),
               m_model.Mode == IdentificationMode::IntervalIdentification);
    Start();
}

void AkkordPlayback::StopPlaying()
{
    AkkordModel& m = m_model;
    m_midiOut.StopQueue();
    if (m.HeldNote.Pitch.Note != 0) {
        m.HeldNote = TNoteRec{};
    }
    if (m.HeldSource == kHeldByProgram) {
        m.ExternalHold = false;
    }
    ControlStripModel& strip = m.Strip();
    strip.ButtonEnabled[1] = true;
    strip.ButtonEnabled[2] = m.EnteredCount > 0;
    strip.ButtonEnabled[kStopButton] = false;
    strip.FocusIndex = m.Session().Answered ? 0 : 3;
}

void AkkordPlayback::SequencerNotify(int code)
{
    AkkordModel& m = m_model;
    switch (code) {
    case kNotifyUpperTonic: {
        const int upper = m.TonicNote + 12;
        PressNote(
            TPitch{static_cast<std::int8_t>(upper), static_cast<std::int8_t>(SpelledShift(upper))},
            kHeldByProgram);
        break;
    }
    case kNotifyTonicEnd:
        ReleaseNote(false, true);
        m.ExternalHold = false;
        break;
    case kNotifyFirstTone:
        if (m.ShowFirstTone && !m.Session().Answered) {
            m.EnterFirstTone();
        }
        break;
    case kNotifyPlaybackEnd:
        StopPlaying();
        break;
    default:
        break;
    }
}

void AkkordPlayback::PressNote(TPitch note, std::uint8_t source)
{
    AkkordModel& m = m_model;
    // A note the user still holds (a staff drag the microphone or a new pitch takes over) must
    // not go on sounding once it is replaced.
    if (m.HeldNote.Pitch.Note != 0 && m.HeldSource != kHeldByProgram &&
        m.HeldSource != kHeldByMicrophone && m.PlayToneOnClick &&
        m.Mode != IdentificationMode::ChordProgressions) {
        m_midiOut.NoteOff(static_cast<std::uint8_t>(SoundedPitch(m.HeldNote, m.HeldSource)));
    }
    m.HeldSource = source;
    m.HeldNote = TNoteRec{};
    m.HeldNote.Pitch = note;
    m.HeldNote.Pitch.Note =
        static_cast<std::int8_t>(std::clamp(note.Note - m.DisplayOffset, 0, 127));
    // The program's own holds are already sounding on the sequencer.
    if (m.Mode != IdentificationMode::ChordProgressions && source != kHeldByMicrophone &&
        source != kHeldByProgram) {
        if (const std::optional<SoundRecord> sound =
                EntrySound(note.Note, source == kHeldByGuitar || Guitar())) {
            m_midiOut.NoteOn(*sound);
        }
    }
}

std::optional<SoundRecord> AkkordPlayback::EntrySound(int note, bool guitar) const
{
    if (!m_model.PlayToneOnClick) {
        return std::nullopt;
    }
    const MidiVoiceSettings voices = m_midiOut.Voices();
    SoundRecord sound = guitar ? voices.guitar : voices.piano;
    const int pitch = note - (guitar && !voices.guitarNotTransposed ? 12 : 0);
    sound.note = static_cast<std::uint8_t>(std::clamp(pitch, 0, 127));
    return sound;
}

InstrumentEntry AkkordPlayback::MidiInMessage(std::uint32_t message)
{
    const std::uint32_t status = message & 0xFFU;
    const std::uint32_t key = (message >> 8) & 0xFFU;
    const std::uint32_t velocity = (message >> 16) & 0xFFU;
    // Data bytes carry seven bits; anything else is not a note of a keyboard.
    if (key > 127 || velocity > 127) {
        return {};
    }
    const int channel = static_cast<int>(status & 0x0FU);
    const std::uint32_t kind = status & 0xF0U;
    if (kind == 0x90 && velocity > 0) {
        MidiNoteOn(channel, static_cast<int>(key));
        if (m_model.Mode == IdentificationMode::ChordProgressions &&
            m_midiKeys[static_cast<std::size_t>(channel)][key].Held) {
            return EntryForPitch(m_model, WrittenOfKey(static_cast<int>(key)), 0, kEntrySourcePiano,
                                 false, false);
        }
    } else if (kind == 0x80 || kind == 0x90) {
        MidiNoteOff(channel, static_cast<int>(key));
    }
    return {};
}

int AkkordPlayback::WrittenOfKey(int key) const
{
    const bool writtenHigher = Guitar() && !m_midiOut.Voices().guitarNotTransposed;
    return key + (writtenHigher ? 12 : 0);
}

void AkkordPlayback::MidiNoteOn(int channel, int key)
{
    AkkordModel& m = m_model;
    // Both ends of the range are those of the written note: a key whose guitar note lies above
    // the neck could be neither shown nor entered where the guitar writes it.
    const int written = WrittenOfKey(key);
    const int shown = written - m.DisplayOffset;
    if (shown < m.LowestPitch || shown > m.HighestPitch) {
        return;
    }
    MidiKey& state = m_midiKeys[static_cast<std::size_t>(channel)][static_cast<std::size_t>(key)];
    // A keyboard that lost a note-off must not leave the earlier echo sounding.
    if (state.Sounded) {
        m_midiOut.NoteOff(*state.Sounded);
        state.Sounded.reset();
    }
    if (const std::optional<SoundRecord> sound = EntrySound(written, Guitar())) {
        m_midiOut.NoteOn(*sound);
        state.Sounded = sound->note;
    }
    const bool firstKey = m.MidiHeldCount == 0;
    if (!state.Held) {
        state.Held = true;
        ++m.MidiHeldCount;
    }
    if (m.Mode == IdentificationMode::ChordProgressions) {
        return; // the window sets the chord on the key's root
    }
    // An answered question keeps its answer on show; only free playing before the first
    // question enters what is played.
    if (m.Session().Answered && m.Session().QuestionCount > 0) {
        return;
    }
    // Each chord played replaces the one before.
    const bool oneChord = m.Mode == IdentificationMode::ChordIdentification ||
                          m.Mode == IdentificationMode::ChordInversions ||
                          m.Mode == IdentificationMode::IntervalIdentification;
    if (firstKey && oneChord) {
        m.ClearEnteredNotes();
    }
    if (m.Session().Answered) {
        ChooseFreePlayStaff();
    }
    const InstrumentEntry entry = EntryForPitch(m, written, 0, kEntrySourcePiano, false, false);
    if (entry.Action != InstrumentEntry::Kind::Hold) {
        return;
    }
    m.EnterNote(entry.Pitch, m.EntryTool == kEntryToolDelete);
}

void AkkordPlayback::MidiNoteOff(int channel, int key)
{
    MidiKey& state = m_midiKeys[static_cast<std::size_t>(channel)][static_cast<std::size_t>(key)];
    if (state.Sounded) {
        m_midiOut.NoteOff(*state.Sounded);
        state.Sounded.reset();
    }
    if (state.Held) {
        state.Held = false;
        if (m_model.MidiHeldCount > 0) {
            --m_model.MidiHeldCount;
        }
    }
}

void AkkordPlayback::ForgetMidiKeys()
{
    for (auto& channel : m_midiKeys) {
        for (MidiKey& key : channel) {
            if (key.Sounded) {
                m_midiOut.NoteOff(*key.Sounded);
            }
            key = MidiKey{};
        }
    }
    m_model.MidiHeldCount = 0;
}

void AkkordPlayback::PlayEnteredChord(int index)
{
    const VoicedProgression voiced = m_model.VoiceEnteredChords();
    if (index < 0 || index + 1 >= static_cast<int>(voiced.Counts.size())) {
        return;
    }
    const auto from = static_cast<std::size_t>(voiced.Counts[static_cast<std::size_t>(index)]);
    const int count = voiced.Counts[static_cast<std::size_t>(index) + 1] -
                      voiced.Counts[static_cast<std::size_t>(index)];
    if (count <= 0 || from >= voiced.Notes.size()) {
        return;
    }
    m_midiOut.StopQueue();
    QueueNotes(std::span(voiced.Notes).subspan(from), count, false);
    Start();
}

void AkkordPlayback::ChooseFreePlayStaff()
{
    AkkordModel& m = m_model;
    if (m.EnteredCount == 0) {
        m.Sheet.StaffChoice = 0;
        return;
    }
    const int middle = 55 + (((m.DisplayOffset + 41) % 12) + 12) % 12;
    int lowest = 127;
    int highest = 0;
    for (std::size_t k = 0; k < m.EnteredCount; ++k) {
        lowest = std::min<int>(lowest, m.EnteredNotes[k].Pitch.Note);
        highest = std::max<int>(highest, m.EnteredNotes[k].Pitch.Note);
    }
    m.Sheet.StaffChoice = middle - lowest > highest - middle ? -2 : 2;
}

int AkkordPlayback::SoundedPitch(const TNoteRec& held, std::uint8_t source) const
{
    const int pitch = std::clamp(held.Pitch.Note + m_model.DisplayOffset, 0, 127);
    const bool guitar = source == kHeldByGuitar || Guitar();
    const bool lower = guitar && !m_midiOut.Voices().guitarNotTransposed;
    return std::clamp(pitch - (lower ? 12 : 0), 0, 127);
}

void AkkordPlayback::ReleaseNote(bool remove, bool noEnter, int position)
{
    AkkordModel& m = m_model;
    const TNoteRec held = m.HeldNote;
    m.HeldNote = TNoteRec{};
    if (held.Pitch.Note == 0) {
        return;
    }
    TPitch pitch = held.Pitch;
    pitch.Note = static_cast<std::int8_t>(std::clamp(pitch.Note + m.DisplayOffset, 0, 127));
    if (!m.Session().Answered && m.EntryTool != kEntryToolDelete && !noEnter) {
        m.EnterNote(pitch, remove, remove ? 0 : position);
    }
    const MidiVoiceSettings voices = m_midiOut.Voices();
    const bool guitar = m.HeldSource == kHeldByGuitar || Guitar();
    const int sounded = pitch.Note - (guitar && !voices.guitarNotTransposed ? 12 : 0);
    if (m.HeldSource != kHeldByProgram && m.HeldSource != kHeldByMicrophone) {
        m_midiOut.NoteOff(static_cast<std::uint8_t>(std::clamp(sounded, 0, 127)));
    }
}

} // namespace pv
