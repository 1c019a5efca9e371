// Codec of the settings record at the offsets of its stored layout, and the defaults.
#include "music/files/SettingsRecord.h"

#include "music/files/ByteIO.h"
#include "music/files/RecordHelpers.h"

namespace pv {

namespace {

constexpr std::size_t kToolWindows = 24;
constexpr std::size_t kToolWindowSize = 28;
constexpr std::size_t kOptionPairs = 304;
constexpr std::size_t kResultColumns = 384;
constexpr std::size_t kPairSize = 8;
constexpr std::size_t kKindPairs = 557;
constexpr std::size_t kSounds = 688;
constexpr std::size_t kRemoteNotes = 732;

SoundRec ReadSound(const ByteReader& r, std::size_t at)
{
    return {r.U16(at), r.U16(at + 2), r.U16(at + 4), r.U16(at + 6)};
}

void WriteSound(ByteWriter& w, std::size_t at, const SoundRec& s)
{
    w.U16(at, s.Channel);
    w.U16(at + 2, s.Program);
    w.U16(at + 4, s.Velocity);
    w.U16(at + 6, s.Note);
}

} // namespace

TSettingsRec DefaultSettings()
{
    TSettingsRec s;
    s.UserId = 1;
    s.MainWidth = 640;
    s.MainHeight = 480;
    s.MainState = 2;
    s.ToolWindows = {{{0, 0, 588, 55, 0, 0, 1, 1},
                      {615, 0, 85, 55, 0, 588, 1, 1},
                      {0, 60, 673, 24, 1, 0, 1, 1},
                      {0, 0, 410, 36, 0, 0, 3, 1},
                      {410, 0, 195, 36, 0, 410, 3, 1},
                      {605, 0, 101, 32, 0, 605, 3, 0}}};
    s.OptionPairs = {{{1, 12},
                      {1, 140},
                      {1, 80},
                      {1, 120},
                      {1, 120},
                      {1, 80},
                      {1, 80},
                      {1, 120},
                      {0, 120},
                      {0, 120}}};
    s.ResultColumns = {{{1, 80}, {1, 80}, {1, 80}, {0, 80}, {1, 120}, {1, 120}, {0, 10}, {1, 100}}};
    s.ResultPeriodIndex = 2;
    s.FontName = QStringLiteral("Arial");
    s.FontSize = 9;
    s.Language = QStringLiteral("English");
    for (std::size_t k = 1; k < s.KindPairs.size(); ++k)
        s.KindPairs[k] = {9, 2};
    s.NoteIdentification = 1;
    s.ShowKeyName = true;
    s.MidiOutVolume = 240;
    s.PianoVoice = {0, 0, 110, 60};
    s.GuitarVoice = {1, 24, 110, 60};
    s.ClapSound = {9, 0, 110, 39};
    s.BeatSound = {9, 0, 110, 37};
    s.FirstBeatSound = {9, 0, 125, 56};
    s.SustainAsEnter = true;
    s.RemoteNotes = {36, 38, 40, 41, 43};
    s.BackgroundColor = 0x00A0D0E8;
    s.CountIn = true;
    s.MetronomeOn = true;
    s.DefaultTempo = 90;
    s.WaveOutVolume = 110;
    s.SoundEffectsOn = true;
    s.RightSound = QStringLiteral("Correct");
    s.WrongSound = QStringLiteral("Wrong");
    s.RhythmSensitivity = 2;
    s.ToneSensitivity = 3;
    s.AutoNewQuestionDelay = 4;
    s.RepeatThreshold = 90;
    s.TipsMask = 0x0000FFFF;
    s.PlayIntro = true;
    s.TutorActive = true;
    s.Raw = EncodeSettingsRec(s);
    return s;
}

std::optional<TSettingsRec> DecodeSettingsRec(std::span<const std::uint8_t> bytes)
{
    const auto raw = detail::RecordBytes<kSettingsRecSize>(bytes);
    if (!raw)
        return std::nullopt;
    const ByteReader r(*raw);
    TSettingsRec s;
    s.Raw = *raw;
    s.UserId = r.U16(0);
    s.MainLeft = r.I32(4);
    s.MainTop = r.I32(8);
    s.MainWidth = r.I32(12);
    s.MainHeight = r.I32(16);
    s.MainState = r.U8(20);
    for (std::size_t i = 0; i < s.ToolWindows.size(); ++i) {
        const std::size_t at = kToolWindows + kToolWindowSize * i;
        s.ToolWindows[i] = {r.I32(at),      r.I32(at + 4),  r.I32(at + 8), r.I32(at + 12),
                            r.I32(at + 16), r.I32(at + 20), r.U8(at + 24), r.U8(at + 25)};
    }
    for (std::size_t i = 0; i < s.OptionPairs.size(); ++i) {
        const std::size_t at = kOptionPairs + kPairSize * i;
        s.OptionPairs[i] = {r.U8(at), r.I32(at + 4)};
    }
    for (std::size_t i = 0; i < s.ResultColumns.size(); ++i) {
        const std::size_t at = kResultColumns + kPairSize * i;
        s.ResultColumns[i] = {r.U8(at), r.I32(at + 4)};
    }
    s.ResultPeriodIndex = r.U16(448);
    s.FontName = r.ShortString(450, 81);
    s.FontSize = r.I32(532);
    s.FontStyle = r.U8(536);
    s.Language = r.ShortString(537, 19);
    for (std::size_t k = 0; k < s.KindPairs.size(); ++k)
        s.KindPairs[k] = {r.U8(kKindPairs + 2 * k), r.U8(kKindPairs + 2 * k + 1)};
    s.NoteIdentification = r.U8(587);
    s.ShowKeyName = r.Bool(588);
    s.MidiInDevice = r.ShortString(590, 47);
    s.MidiOutDevice = r.ShortString(638, 47);
    s.MidiOutVolume = r.U16(686);
    s.PianoVoice = ReadSound(r, kSounds);
    s.GuitarVoice = ReadSound(r, kSounds + 8);
    s.ClapSound = ReadSound(r, kSounds + 16);
    s.BeatSound = ReadSound(r, kSounds + 24);
    s.FirstBeatSound = ReadSound(r, kSounds + 32);
    s.MidiInputOn = r.Bool(728);
    s.SustainAsEnter = r.Bool(729);
    s.MidiRemoteControl = r.Bool(730);
    s.GuitarNotTransposed = r.Bool(731);
    for (std::size_t i = 0; i < s.RemoteNotes.size(); ++i)
        s.RemoteNotes[i] = r.U8(kRemoteNotes + i);
    s.BackgroundColor = r.U32(740);
    s.RhythmSpacing = r.U8(744);
    s.CountIn = r.Bool(745);
    s.MetronomeOn = r.Bool(746);
    s.DefaultTempo = r.U8(747);
    s.WaveOutVolume = r.U16(748);
    s.SoundEffectsOn = r.Bool(750);
    s.RightSound = r.ShortString(752, 19);
    s.WrongSound = r.ShortString(772, 19);
    s.RhythmSensitivity = r.U8(792);
    s.ToneSensitivity = r.U8(793);
    s.HighPrecision = r.Bool(795);
    s.OutputDelay = r.I32(796);
    s.AutoNewQuestion = r.Bool(800);
    s.AutoNewQuestionDelay = r.U8(801);
    s.AutoNewOnlyAfterRight = r.Bool(802);
    s.RepeatThreshold = r.U8(803);
    s.TipsMask = r.U32(804);
    s.PlayIntro = r.Bool(808);
    s.RhythmsWithMetronome = r.Bool(809);
    s.TutorActive = r.Bool(810);
    return s;
}

std::array<std::uint8_t, kSettingsRecSize> EncodeSettingsRec(const TSettingsRec& s)
{
    std::array<std::uint8_t, kSettingsRecSize> out = s.Raw;
    const std::array<std::uint8_t, kSettingsRecSize>& raw = s.Raw;
    ByteWriter w(out);
    const auto putBool = [&](std::size_t at, bool value) { detail::PutBool(w, raw, at, value); };
    w.U16(0, s.UserId);
    w.I32(4, s.MainLeft);
    w.I32(8, s.MainTop);
    w.I32(12, s.MainWidth);
    w.I32(16, s.MainHeight);
    w.U8(20, s.MainState);
    for (std::size_t i = 0; i < s.ToolWindows.size(); ++i) {
        const std::size_t at = kToolWindows + kToolWindowSize * i;
        const ToolWindowPlacement& t = s.ToolWindows[i];
        w.I32(at, t.Left);
        w.I32(at + 4, t.Top);
        w.I32(at + 8, t.Width);
        w.I32(at + 12, t.Height);
        w.I32(at + 16, t.DockRow);
        w.I32(at + 20, t.DockPos);
        w.U8(at + 24, t.Dock);
        w.U8(at + 25, t.Visible);
    }
    for (std::size_t i = 0; i < s.OptionPairs.size(); ++i) {
        const std::size_t at = kOptionPairs + kPairSize * i;
        w.U8(at, s.OptionPairs[i].Switch);
        w.I32(at + 4, s.OptionPairs[i].Value);
    }
    for (std::size_t i = 0; i < s.ResultColumns.size(); ++i) {
        const std::size_t at = kResultColumns + kPairSize * i;
        w.U8(at, s.ResultColumns[i].Shown);
        w.I32(at + 4, s.ResultColumns[i].Width);
    }
    w.U16(448, s.ResultPeriodIndex);
    w.ShortString(450, 81, s.FontName);
    w.I32(532, s.FontSize);
    w.U8(536, s.FontStyle);
    w.ShortString(537, 19, s.Language);
    for (std::size_t k = 0; k < s.KindPairs.size(); ++k) {
        w.U8(kKindPairs + 2 * k, s.KindPairs[k][0]);
        w.U8(kKindPairs + 2 * k + 1, s.KindPairs[k][1]);
    }
    w.U8(587, s.NoteIdentification);
    putBool(588, s.ShowKeyName);
    w.ShortString(590, 47, s.MidiInDevice);
    w.ShortString(638, 47, s.MidiOutDevice);
    w.U16(686, s.MidiOutVolume);
    WriteSound(w, kSounds, s.PianoVoice);
    WriteSound(w, kSounds + 8, s.GuitarVoice);
    WriteSound(w, kSounds + 16, s.ClapSound);
    WriteSound(w, kSounds + 24, s.BeatSound);
    WriteSound(w, kSounds + 32, s.FirstBeatSound);
    putBool(728, s.MidiInputOn);
    putBool(729, s.SustainAsEnter);
    putBool(730, s.MidiRemoteControl);
    putBool(731, s.GuitarNotTransposed);
    for (std::size_t i = 0; i < s.RemoteNotes.size(); ++i)
        w.U8(kRemoteNotes + i, s.RemoteNotes[i]);
    w.U32(740, s.BackgroundColor);
    w.U8(744, s.RhythmSpacing);
    putBool(745, s.CountIn);
    putBool(746, s.MetronomeOn);
    w.U8(747, s.DefaultTempo);
    w.U16(748, s.WaveOutVolume);
    putBool(750, s.SoundEffectsOn);
    w.ShortString(752, 19, s.RightSound);
    w.ShortString(772, 19, s.WrongSound);
    w.U8(792, s.RhythmSensitivity);
    w.U8(793, s.ToneSensitivity);
    putBool(795, s.HighPrecision);
    w.I32(796, s.OutputDelay);
    putBool(800, s.AutoNewQuestion);
    w.U8(801, s.AutoNewQuestionDelay);
    putBool(802, s.AutoNewOnlyAfterRight);
    w.U8(803, s.RepeatThreshold);
    w.U32(804, s.TipsMask);
    putBool(808, s.PlayIntro);
    putBool(809, s.RhythmsWithMetronome);
    putBool(810, s.TutorActive);
    return out;
}

QString LanguageName(std::uint16_t languageId)
{
    switch (languageId) {
    case 1030:
        return QStringLiteral("Dansk");
    case 1031:
        return QStringLiteral("Deutch");
    case 1034:
    case 2058:
        return QStringLiteral("Espa\u00F1ol");
    case 1035:
        return QStringLiteral("Suomi");
    case 1036:
    case 2060:
    case 3084:
        return QStringLiteral("Fran\u00E7ais");
    case 1044:
    case 2068:
        return QStringLiteral("Norsk");
    case 1053:
        return QStringLiteral("Svenska");
    default:
        return QStringLiteral("English");
    }
}

QString DeviceNameToStore(const QString& name, bool placeholder)
{
    return placeholder ? QString() : name;
}

} // namespace pv
