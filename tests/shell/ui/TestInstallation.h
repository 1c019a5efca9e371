// A temporary installation for the tests that run the whole program: a program folder with the
// shipped English language and help files and a default setup, and a data folder apart from it (as
// in an installed program).
#pragma once

#include "exercises/setup/SetupFile.h"
#include "music/files/Folders.h"
#include "shell/tutor/TutorDescription.h"
#include "shell/tutor/TutorFile.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace pv::test {

class Installation
{
public:
    /// defaultSetup: what the shipped default setup holds.
    explicit Installation(const ExerciseSetup& defaultSetup = DefaultExerciseSetup())
    {
        EXPECT_TRUE(QDir().mkpath(LanguageFolder()));
        EXPECT_TRUE(QFile::copy(QStringLiteral(PELLIVARK_ENGLISH_LAN),
                                LanguageFolder() + QStringLiteral("English.LAN")));
        EXPECT_TRUE(QFile::copy(QStringLiteral(PELLIVARK_ENGLISH_HLP), HelpFile()));
        EXPECT_TRUE(WriteSetupFile(DefaultSetupPath(), defaultSetup));
    }

    Folders ProgramFolders() const
    {
        return Folders{program.Path(), data.Path() + QStringLiteral("Data/")};
    }
    QString LanguageFolder() const { return program.File(QStringLiteral("Language/")); }
    QString DefaultSetupPath() const { return program.File(QStringLiteral("Default_level.qib")); }
    QString HelpFile() const { return LanguageFolder() + QStringLiteral("English.HLP"); }
    QString DataFile(const QString& name) const { return ProgramFolders().DataFolder + name; }
    /// The store of the first-run value, apart from the user's own.
    QString FirstRunStore() const { return data.File(QStringLiteral("firstrun.ini")); }

    /// A setup file of the program folder.
    bool AddSetup(const QString& name, const ExerciseSetup& setup) const
    {
        return WriteSetupFile(program.File(name), setup).Ok();
    }
    /// A tutor of the program folder, written from its description; the tutor as written.
    std::optional<TutorFileData> AddTutor(const QString& name, const char* description) const
    {
        auto tutor = ParseTutorDescription(QString::fromUtf8(description), QString());
        if (!tutor.Ok() || !WriteTutorFile(program.File(name), tutor.Value()).Ok())
            return std::nullopt;
        return tutor.Value();
    }

    /// A tutor of chord identification in one step, shipped in the program folder. Its step
    /// asks chord 28, one of the slots a user may change: the tutor brings item tables of its
    /// own, which stand in for the user's while it runs.
    static constexpr const char* kChordTutorText = R"(title = Chord ladder
author = Teacher
description = One step

[step chords]
title = Major and minor
description = Tell a major chord from a minor one.
pass = 80
fallback = 40
questions = 5
items = 1, 2, 28
)";
    static inline const QString kChordTutor = QStringLiteral("Chords.tut");
    bool AddChordTutor() const { return AddTutor(kChordTutor, kChordTutorText).has_value(); }

    TempDir program;
    TempDir data;
};

} // namespace pv::test
