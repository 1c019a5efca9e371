// The user-interface string table: every message, caption and format the program builds at run
// time, each filled from one id of the language file.
#pragma once

#include <span>

#include <QString>

namespace pv {

struct UIStringTable
{
    QString StrFile;             ///< caption of the File menu of the report preview
    QString StrReports;          ///< caption of the reports window
    QString StrViewExercise;     ///< menu caption of the Exercise view
    QString StrViewSetup;        ///< menu caption of the Exercise setup view
    QString StrViewResults;      ///< menu caption of the Results view
    QString StrViewUserOverview; ///< menu caption of the User overview view
    QString StrHelp;             ///< caption of Help buttons
    QString StrOK;               ///< caption of OK buttons
    QString StrChange;           ///< caption of the settings dialog's two change buttons
    QString StrCancel;           ///< caption of Cancel buttons
    QString StrClose;            ///< caption of Close buttons and menu items
    QString StrPreview;          ///< caption of the report preview window
    QString
        StrPrint; ///< caption of the print menu item and print button hint of the report preview
    QString StrSaveResultsQuery; ///< text of the Yes/No/Cancel question whether to store the
                                 ///< current results
    QString StrNoDevice;     ///< name of the placeholder MIDI device entry, shown in parentheses
    QString StrRhythm;       ///< caption of the rhythm instrument label in the settings dialog
    QString StrVolume;       ///< caption of velocity/volume labels
    QString StrPlay;         ///< caption of Play buttons and labels
    QString StrIdentText1;   ///< text of the identification forms
    QString StrIdentText2;   ///< text of the identification forms
    QString StrIdentFormat1; ///< format with one argument used by the identification forms and the
                             ///< interval comparison form
    QString StrScore;        ///< score caption (followed by " /" where a count follows)
    QString StrComparisonText2; ///< caption text of the interval comparison form
    QString StrIdentText3;      ///< text of the identification forms
    QString StrIdentText4;      ///< text of the identification forms
    QString StrIdentText5;      ///< text of the identification forms
    QString StrTotal;    ///< total caption of the reports (the main window's `Label4` gets the same
                         ///< text + ":" directly from the loader)
    QString StrMicInput; ///< text used by the microphone pitch input of the identification forms
    QString
        StrItemSuffix; ///< text shown in parentheses after an item name in the identification forms
    QString StrProgressionCaption1; ///< caption in the progression editor
    QString StrProgressionCaption2; ///< caption in the progression editor
    QString StrProgressionCaption3; ///< caption in the progression editor
    QString StrChordPageText;       ///< text of the chord setup page
    QString StrComparisonText;      ///< text of the interval comparison form
    QString StrStop;                ///< caption of the output-delay test button while the test runs
    QString StrRhythmVerdict1;      ///< rhythm evaluation text
    QString StrRhythmVerdict2;      ///< rhythm evaluation text
    QString StrRhythmVerdict3;      ///< rhythm evaluation text
    QString StrRhythmVerdictFormat; ///< rhythm evaluation format with one argument
    QString StrRhythmText1;         ///< text of the rhythm forms
    QString StrRhythmVerdict4;      ///< rhythm evaluation text
    QString StrRhythmText2;         ///< text of the rhythm forms
    QString StrRhythmText3;         ///< text of the rhythm reading form
    QString
        StrRhythmText4; ///< text of the rhythm reading and imitation forms (also a label caption)
    QString StrRhythmText5;        ///< text of the rhythm forms
    QString StrRhythmSetupMessage; ///< message of the rhythm model (ShowMessage)
    QString StrInversion;          ///< text of the item editor
    QString StrInversionNames[6]; ///< array[0..5]: the inversion words used to name chord-inversion
                                  ///< items
    QString StrIdentFormat2;      ///< format with one argument used by the identification forms
    QString StrIdentText6;        ///< text of the identification forms
    QString StrIdentText7;        ///< text of the identification forms
    QString StrIdentText8;        ///< text of the identification forms
    QString StrMelodyRangeMessage;   ///< message shown when the melody generator finds no melody in
                                     ///< the range (ShowMessage)
    QString StrImportUserFormat;     ///< format with one argument of the import
    QString StrImportMessage1;       ///< message box text of the import
    QString StrImportCopyFailed;     ///< message box text of the import when a file copy fails
    QString StrImportMessage2;       ///< message box text of the import
    QString StrReportMessage;        ///< message box text of the reports
    QString StrExportFormat;         ///< format with one argument of the export
    QString StrStepInfoFormat;       ///< format with one argument of the tutor step information
    QString StrTutorProgressFormat1; ///< format with one argument of the tutor progress labels
    QString StrTutorProgress;        ///< text of the tutor progress labels
    QString StrTutorProgressFormat2; ///< format with one argument of the tutor progress labels
    QString StrStepEndText1;         ///< text of the tutor step end window
    QString StrStepEndText2;         ///< text of the tutor step end window
    QString StrStepEndText3;         ///< text of the tutor step end window
    QString StrStepEndText4;         ///< text of the tutor step end window
    QString StrStepEndVerdict1;      ///< verdict text of the tutor step end window
    QString StrStepEndVerdict2;      ///< verdict text of the tutor step end window
    QString StrStepEndVerdict3;      ///< verdict text of the tutor step end window
    QString StrTutorMessage;         ///< message box text when switching views with a tutor
    QString StrTutorChooserFormat;   ///< format with one argument of the tutor chooser
    QString StrResultsText;          ///< text of the results view
    QString StrStatisticsText;       ///< text used by the statistics-period command
    QString StrDeleteResultsFormat;  ///< format with one argument of the delete-results dialog
    QString StrDeleteResultsCaption; ///< caption in the delete-results dialog
    QString StrMessageTitle;         ///< caption of error message boxes
    QString StrDelayTest;            ///< caption of the settings dialog's output-delay test button
    QString StrProgramTitle;       ///< caption of message boxes of the setup files, export/import,
                                   ///< reports and view switching
    QString StrSaveResultsCaption; ///< caption of the questions whether to store results
    QString StrFileNotFound;       ///< first line of the message that a file does not exist
    QString StrSetupFileInvalid;   ///< message box text when a setup file has the wrong header
    QString
        StrSaveSetupQuery; ///< text of the Yes/No/Cancel question whether to store a changed setup
    QString StrMidiInOpenError; ///< format of the message when a MIDI input device cannot be opened
    QString
        StrMidiOutOpenError; ///< format of the message when a MIDI output device cannot be opened
    QString
        StrNoMidiOutDevice;   ///< message of the first-run wizard when no MIDI output device exists
    QString StrSettingsQuery; ///< text of the settings dialog's Yes/No question on OK
    QString StrExportCopyFailed; ///< message box text of the export when a file copy fails
    QString StrResultFile;       ///< first line of the locked-file question for the results file
    QString StrUserNamePrompt;   ///< prompt of the input box for the user name
    QString StrChordFile;        ///< first line of the locked-file question for the user item file
    QString StrFileBusy;         ///< last line of the locked-file question
    QString StrUserFile;         ///< first line of the locked-file question for the user file
    QString StrStatisticsText2;  ///< text used by the user statistics
    QString StrSettingsFile;     ///< first line of the locked-file question for the settings file
    QString StrPurgeResultsFormat; ///< format of the locked-file question of the result purge
    QString StrWizardNext;         ///< caption of the first-run wizard's forward button
    QString StrWizardFinish;  ///< caption of the first-run wizard's forward button on its last page
    QString StrHideTip;       ///< caption of the tip window's hide check box
    QString StrTips[6];       ///< array[0..5]: the six tip texts
    QString StrReportText0;   ///< report text
    QString StrReportText1;   ///< report text
    QString StrReportText2;   ///< report text (followed by ": 1" in one report)
    QString StrReportText3;   ///< report text
    QString StrReportText4;   ///< report text
    QString StrReportLabel1;  ///< report label (text + ":")
    QString StrReportLabel2;  ///< report label (text + ":")
    QString StrReportText5;   ///< report text
    QString StrReportText6;   ///< report text
    QString StrReportText7;   ///< report text
    QString StrReportText8;   ///< report text
    QString StrPreviewFormat; ///< format with one argument of the report preview
    QString StrPreviewHint1;  ///< hint of a report preview button
    QString StrPreviewHint2;  ///< hint of a report preview button
    QString StrPreviewHint3;  ///< hint of a report preview button
    QString StrPreviewHint4;  ///< hint of a report preview button
    QString StrPreviewHint5;  ///< hint of a report preview button
    QString StrPreviewHint6;  ///< hint of a report preview button
    QString StrPreviewHint7;  ///< hint of a report preview button
    QString StrPreparingReports; ///< main window caption while the report windows are created on
                                 ///< the first use of the reports command
};

// The program holds one table (`UIStrings`), filled from the language file by the composition
// root and handed by reference to every service that builds a message; no code reads a global.

/// The two texts the main window sets before any language file is read.
void SetUIStringDefaults(UIStringTable& table);
/// Stores a language-file text under its id (with the suffix some ids carry); false when no
/// entry has that id.
bool SetUIStringById(UIStringTable& table, int id, const QString& text);
/// Every id the table is filled from, ascending.
std::span<const int> UIStringIds();

} // namespace pv
