// The settings record's layout, read and written through one field list, and the defaults.
#include "music/files/SettingsRecord.h"

#include "music/files/RecordHelpers.h"

namespace pv {

namespace {

// A sound's own 8-byte layout.
const auto kSoundFields = [](auto& io, auto& sound) {
    io.U16(0, sound.Channel);
    io.U16(2, sound.Program);
    io.U16(4, sound.Velocity);
    io.U16(6, sound.Note);
};

template <class IO, class Rec> void SettingsFields(IO& io, Rec& s)
{
    io.U16(0, s.UserId);
    io.I32(4, s.MainLeft);
    io.I32(8, s.MainTop);
    io.I32(12, s.MainWidth);
    io.I32(16, s.MainHeight);
    io.U8(20, s.MainState);
    Table(io, 24, 28, s.ToolWindows, [](auto& entry, auto& t) {
        entry.I32(0, t.Left);
        entry.I32(4, t.Top);
        entry.I32(8, t.Width);
        entry.I32(12, t.Height);
        entry.I32(16, t.DockRow);
        entry.I32(20, t.DockPos);
        entry.U8(24, t.Dock);
        entry.U8(25, t.Visible);
    });
    Table(io, 304, 8, s.OptionPairs, [](auto& entry, auto& pair) {
        entry.U8(0, pair.Switch);
        entry.I32(4, pair.Value);
    });
    Table(io, 384, 8, s.ResultColumns, [](auto& entry, auto& column) {
        entry.U8(0, column.Shown);
        entry.I32(4, column.Width);
    });
    io.U16(448, s.ResultPeriodIndex);
    io.LengthPrefixedString(450, 81, s.FontName);
    io.I32(532, s.FontSize);
    io.U8(536, s.FontStyle);
    io.LengthPrefixedString(537, 19, s.Language);
    Table(io, 557, 2, s.KindPairs, [](auto& entry, auto& pair) { entry.Bytes(0, pair); });
    io.U8(587, s.NoteIdentification);
    io.Bool(588, s.ShowKeyName);
    io.LengthPrefixedString(590, 47, s.MidiInDevice);
    io.LengthPrefixedString(638, 47, s.MidiOutDevice);
    io.U16(686, s.MidiOutVolume);
    Nested(io, 688, 8, s.PianoVoice, kSoundFields);
    Nested(io, 696, 8, s.GuitarVoice, kSoundFields);
    Nested(io, 704, 8, s.ClapSound, kSoundFields);
    Nested(io, 712, 8, s.BeatSound, kSoundFields);
    Nested(io, 720, 8, s.FirstBeatSound, kSoundFields);
    io.Bool(728, s.MidiInputOn);
    io.Bool(729, s.SustainAsEnter);
    io.Bool(730, s.MidiRemoteControl);
    io.Bool(731, s.GuitarNotTransposed);
    io.Bytes(732, s.RemoteNotes);
    io.U32(740, s.BackgroundColor);
    io.U8(744, s.RhythmSpacing);
    io.Bool(745, s.CountIn);
    io.Bool(746, s.MetronomeOn);
    io.U8(747, s.DefaultTempo);
    io.U16(748, s.WaveOutVolume);
    io.Bool(750, s.SoundEffectsOn);
    io.LengthPrefixedString(752, 19, s.RightSound);
    io.LengthPrefixedString(772, 19, s.WrongSound);
    io.U8(792, s.RhythmSensitivity);
    io.U8(793, s.ToneSensitivity);
    io.Bool(795, s.HighPrecision);
    io.I32(796, s.OutputDelay);
    io.Bool(800, s.AutoNewQuestion);
    io.U8(801, s.AutoNewQuestionDelay);
    io.Bool(802, s.AutoNewOnlyAfterRight);
    io.U8(803, s.RepeatThreshold);
    io.U32(804, s.TipsMask);
    io.Bool(808, s.PlayIntro);
    io.Bool(809, s.RhythmsWithMetronome);
    io.Bool(810, s.TutorActive);
}

const auto kSettingsFields = [](auto& io, auto& rec) { SettingsFields(io, rec); };

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
    return detail::DecodeRecord<TSettingsRec>(bytes, kSettingsFields);
}

std::array<std::uint8_t, kSettingsRecSize> EncodeSettingsRec(const TSettingsRec& rec)
{
    return detail::EncodeRecord(rec, kSettingsFields);
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

std::uint16_t LanguageIdOfLocale(const QLocale& locale)
{
    // Windows gives each region its own id and names a file for only some of them (3082,
    // the usual id of Spain, for none); the user's language is what counts here.
    switch (locale.language()) {
    case QLocale::Danish:
        return 1030;
    case QLocale::German:
        return 1031;
    case QLocale::Spanish:
        return locale.territory() == QLocale::Mexico ? 2058 : 1034;
    case QLocale::Finnish:
        return 1035;
    case QLocale::French:
        return 1036;
    case QLocale::NorwegianBokmal:
        return 1044;
    case QLocale::NorwegianNynorsk:
        return 2068;
    case QLocale::Swedish:
        return 1053;
    default:
        return 1033;
    }
}

QString DeviceNameToStore(const QString& name, bool placeholder)
{
    return placeholder ? QString() : name;
}

} // namespace pv
