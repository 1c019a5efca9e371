// The main window's menus and tool windows as tables.
#include "shell/main/MainLayout.h"

namespace pv {

namespace {

LayoutEntry Cmd(const char* id)
{
    return {LayoutEntry::Type::Command, QString::fromLatin1(id)};
}

LayoutEntry Sep(const char* name = "")
{
    return {LayoutEntry::Type::Separator, QString::fromLatin1(name)};
}

LayoutEntry Slot(const char* name)
{
    return {LayoutEntry::Type::Slot, QString::fromLatin1(name)};
}

} // namespace

const std::vector<MenuLayout>& MainMenuLayout()
{
    static const std::vector<MenuLayout> menus = {
        {QStringLiteral("Filer1"),
         QStringLiteral("&File"),
         {Cmd("Hentstandardopstning1"), Cmd("Gemopstning1"), Sep(), Cmd("Restartexercise"),
          Cmd("Reports1"), Cmd("Classmaintenance1"), Cmd("ImportExport"), Cmd("Userinfo1"), Sep(),
          Cmd("Exit2")}},
        // The kinds' entries with their view submenus, in the order Ctrl+1..Ctrl+0 open them.
        {QStringLiteral("velser2"),
         QStringLiteral("E&xercise"),
         {Cmd("Overview1"), Sep(), Slot("ExerciseSubmenus")}},
        {QStringLiteral("View1"),
         QStringLiteral("&View"),
         {Cmd("Exercise1"), Cmd("Exercisesetup1"), Cmd("Useroverview1"), Sep(), Slot("Speedbar1"),
          Sep(), Slot("Resultsumations1"), Cmd("Deleteresults1"), Sep("N13"), Cmd("Refresh1"),
          Cmd("N2")}},
        // How the identification exercises are answered, and on which instrument the setup
        // pages show the note range.
        {QStringLiteral("Exercisesetup2"),
         QStringLiteral("&Answer input"),
         {Cmd("Notesheet1"), Cmd("Answerbyname1"), Cmd("Guitar1"), Cmd("Screenpiano1"), Sep(),
          Cmd("Microphone1"), Cmd("MIDIin1")}},
        {QStringLiteral("Tutor1"),
         QStringLiteral("&Tutor"),
         {Cmd("Activatetutor1"), Cmd("Tutorsetup1"), Cmd("Tutoreditor2")}},
        {QStringLiteral("Midi1"),
         QStringLiteral("&MIDI"),
         {Cmd("MIDIremote1"), Cmd("Autonewquest1"), Cmd("ShowMetronome1"), Cmd("Playmetronome1"),
          Cmd("Rhythmwithmetronome1"), Cmd("Showkeyname1"), Slot("NoteIdentification1"), Sep(),
          Cmd("ResetMIDIcontrollers1"), Cmd("MIDIallnotesoff1"), Sep(), Cmd("Programsettings1")}},
        {QStringLiteral("Hjlp1"),
         QStringLiteral("&Help"),
         {Slot("HelpEntries"), Sep(), Cmd("OmPellivark1"), Sep(), Cmd("Reportbugsandsuggestions1"),
          Cmd("PellivarkWeb1")}},
    };
    return menus;
}

const std::vector<ToolWindowLayout>& MainToolWindowLayout()
{
    static const std::vector<ToolWindowLayout> toolWindows = {
        // The views, the exercises and what is shown.
        {0,
         {Cmd("Exercise1"),
          Cmd("Exercisesetup1"),
          Cmd("SpeedButton5"),
          Cmd("Useroverview1"),
          Slot("Bevel1"),
          Cmd("Overview"),
          Cmd("Speed1"),
          Cmd("Speed2"),
          Cmd("Speed3"),
          Cmd("Speed4"),
          Cmd("Speed5"),
          Cmd("Speed6"),
          Cmd("SpeedButton6"),
          Cmd("SpeedButton7"),
          Cmd("SpeedButton8"),
          Cmd("Speed12"),
          Sep(),
          Cmd("Activatetutor1"),
          Cmd("Tutorsetup1"),
          Cmd("Hentstandardopstning1"),
          Slot("SpeedButton4"),
          Sep(),
          Slot("Label1"),
          Slot("Label3"),
          Slot("Label7"),
          Slot("Label9")}},
        // The visual metronome and the microphone's display.
        {1, {Slot("PaintBox2")}},
        // The tutor's progress; a click on it shows the step information.
        {2, {Slot("Label6"), Slot("Label2")}},
        // The score.
        {3, {Slot("ToolWindow3Client")}},
        // The tempo, as a quarter note sign, "= " and the beats a minute.
        {4, {Slot("TempoNoteSign"), Slot("Label8"), Slot("TrackBar1")}},
        // Metronome, visual metronome, microphone.
        {5, {Cmd("Playmetronome1"), Cmd("ShowMetronome1"), Cmd("SpeedButton3")}},
    };
    return toolWindows;
}

std::vector<QString> LayoutCommandIds()
{
    std::vector<QString> ids;
    const auto add = [&ids](const std::vector<LayoutEntry>& entries) {
        for (const LayoutEntry& entry : entries) {
            if (entry.What == LayoutEntry::Type::Command)
                ids.push_back(entry.Name);
        }
    };
    for (const MenuLayout& menu : MainMenuLayout())
        add(menu.Entries);
    for (const ToolWindowLayout& toolWindow : MainToolWindowLayout())
        add(toolWindow.Entries);
    return ids;
}

} // namespace pv
