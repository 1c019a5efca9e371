// The settings' toggles in the menus: each flips its field, ticks with it, and reaches the
// exercise when the exercise shows it.
#include "shell/settings/SettingsMenuCommands.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(SettingsMenuCommands, EachToggleFlipsItsFieldAndItsTickFollows)
{
    struct Case
    {
        const char* id;
        bool TSettingsRec::*field;
        bool reachesTheExercise;
    };
    const Case cases[] = {
        {"MIDIin1", &TSettingsRec::MidiInputOn, false},
        {"MIDIremote1", &TSettingsRec::MidiRemoteControl, false},
        {"Autonewquest1", &TSettingsRec::AutoNewQuestion, true},
        {"Showkeyname1", &TSettingsRec::ShowKeyName, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        TSettingsRec settings;
        int applied = 0;
        SettingsMenuCommands toggles(settings, [&] { ++applied; });
        CommandRegistry registry;
        ASSERT_TRUE(toggles.Register(registry));
        const QString id = QString::fromLatin1(c.id);
        const CommandRow* row = registry.Find(id);
        ASSERT_NE(row, nullptr);
        EXPECT_TRUE(row->Checkable);
        EXPECT_EQ(row->TextId, QStringLiteral("MainForm.") + id);
        const TSettingsRec before = settings;
        for (const bool expected : {true, false}) {
            ASSERT_TRUE(registry.Run(id));
            EXPECT_EQ(settings.*c.field, expected);
            EXPECT_EQ(row->Checked(), expected) << "the tick reads the settings";
        }
        EXPECT_EQ(settings, before) << "twice is no change, and nothing else changed";
        EXPECT_EQ(applied, c.reachesTheExercise ? 2 : 0);
    }
}

TEST(SettingsMenuCommands, TheIdentificationModeToolWindowFlagsAndPianoVoiceStayInRange)
{
    TSettingsRec settings;
    int applied = 0;
    SettingsMenuCommands menu(settings, [&] { ++applied; });

    for (int mode : {2, 0, 1}) {
        menu.ChooseNoteIdentification(mode);
        EXPECT_EQ(menu.NoteIdentificationMode(), mode);
    }
    EXPECT_EQ(applied, 3);
    for (int mode : {-1, 3, 255}) {
        menu.ChooseNoteIdentification(mode);
        EXPECT_EQ(menu.NoteIdentificationMode(), 1) << mode << " is no mode";
    }
    EXPECT_EQ(applied, 3);

    const TSettingsRec beforeFlags = settings;
    menu.SetToolWindowFlag(-1, true);
    menu.SetToolWindowFlag(6, true);
    EXPECT_EQ(settings, beforeFlags) << "no such tool window";
    menu.SetToolWindowFlag(3, false);
    EXPECT_EQ(settings.ToolWindows[3].Visible, 0);
    menu.SetToolWindowFlag(3, true);
    EXPECT_EQ(settings.ToolWindows[3].Visible, 1);

    struct Voice
    {
        int program, velocity, keptProgram, keptVelocity;
    };
    for (const Voice& v : {Voice{33, 77, 33, 77}, Voice{-4, 200, 0, 127}, Voice{128, -1, 127, 0}}) {
        SCOPED_TRACE(v.program);
        menu.KeepPianoVoice(v.program, v.velocity);
        EXPECT_EQ(settings.PianoVoice.Program, v.keptProgram);
        EXPECT_EQ(settings.PianoVoice.Velocity, v.keptVelocity);
    }
}

} // namespace
} // namespace pv
