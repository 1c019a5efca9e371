// The whole program over data, language and setup files that are not what they should be: a
// link (live or dangling), a pipe or a folder in their place. The program starts, says what is
// wrong once per file, stays usable, and leaves every one of them as it found it.
#include "ProgramTestSupport.h"
#include "exercises/setup/SetupFile.h"
#include "exercises/ui/TAkkord.h"
#include "music/data/ResultFiles.h"
#include "music/files/ClassRecord.h"
#include "music/files/ResultRecord.h"
#include "music/files/SettingsRecord.h"
#include "music/files/UserChordRecord.h"
#include "music/files/UserRecord.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/main/ui/ExerciseWindowSet.h"
#include "shell/startmenu/ui/TMenuDialog.h"
#include "shell/tutor/ChooseTutorModel.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::FakeDevicesWithoutSoundFont;
using test::RunUntil;
using test::ScriptedPrompts;
using test::TempDir;

enum class Bad
{
    LiveLink,
    DanglingLink,
    Pipe,
    Folder,
};

const char* NameOf(Bad bad)
{
    switch (bad) {
    case Bad::LiveLink:
        return "a live link";
    case Bad::DanglingLink:
        return "a dangling link";
    case Bad::Pipe:
        return "a pipe";
    case Bad::Folder:
        return "a folder";
    }
    return "?";
}

/// What the program says of a data file of that kind.
QString DataFileReason(Bad bad)
{
    switch (bad) {
    case Bad::LiveLink:
    case Bad::DanglingLink:
        return QStringLiteral("symbolic link");
    case Bad::Pipe:
        return QStringLiteral("a pipe, not a regular file");
    case Bad::Folder:
        return QStringLiteral("a folder, not a regular file");
    }
    return {};
}

std::vector<std::uint8_t> Bytes(std::span<const std::uint8_t> record)
{
    return {record.begin(), record.end()};
}

std::vector<std::uint8_t> ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    return {data.begin(), data.end()};
}

bool WriteAll(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

/// One file put wrong, what a live link in its place points to, and how to tell it is as it
/// was.
class PlantedFile
{
public:
    PlantedFile(QString path, QString outside, std::vector<std::uint8_t> target, Bad bad)
        : m_path(std::move(path)), m_outside(std::move(outside)), m_target(std::move(target)),
          m_bad(bad)
    {
        const QByteArray native = QFile::encodeName(m_path);
        switch (m_bad) {
        case Bad::LiveLink:
            EXPECT_TRUE(WriteAll(m_outside, m_target));
            [[fallthrough]];
        case Bad::DanglingLink:
            EXPECT_EQ(symlink(QFile::encodeName(m_outside).constData(), native.constData()), 0);
            break;
        case Bad::Pipe:
            EXPECT_EQ(mkfifo(native.constData(), 0644), 0);
            break;
        case Bad::Folder:
            EXPECT_TRUE(QDir().mkpath(m_path));
            break;
        }
    }

    const QString& Path() const { return m_path; }

    /// Nothing of it was replaced, written or made.
    void ExpectUntouched() const
    {
        SCOPED_TRACE(m_path.toStdString());
        const QFileInfo info(m_path);
        struct stat st
        {
        };
        ASSERT_EQ(lstat(QFile::encodeName(m_path).constData(), &st), 0) << "gone";
        switch (m_bad) {
        case Bad::LiveLink:
            EXPECT_EQ(ReadAll(m_outside), m_target) << "written through";
            [[fallthrough]];
        case Bad::DanglingLink:
            EXPECT_TRUE(S_ISLNK(st.st_mode)) << "replaced";
            EXPECT_EQ(info.symLinkTarget(), m_outside);
            if (m_bad == Bad::DanglingLink) {
                EXPECT_FALSE(QFileInfo::exists(m_outside)) << "made through the link";
            }
            break;
        case Bad::Pipe:
            EXPECT_TRUE(S_ISFIFO(st.st_mode));
            break;
        case Bad::Folder:
            EXPECT_TRUE(S_ISDIR(st.st_mode));
            EXPECT_TRUE(QDir(m_path).isEmpty());
            break;
        }
        // No replacement left beside it either.
        EXPECT_TRUE(info.dir()
                        .entryList({info.fileName() + QStringLiteral(".tmp*")},
                                   QDir::Files | QDir::System | QDir::Hidden)
                        .isEmpty());
    }

private:
    QString m_path;
    QString m_outside;
    std::vector<std::uint8_t> m_target;
    Bad m_bad;
};

void Key(QWidget* target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

void AnswerWith(QPushButton* button)
{
    const QPointF at(button->width() / 2.0, button->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, button->mapToGlobal(at), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &release);
}

/// The error boxes that name path.
std::vector<QString> ErrorsNaming(const ScriptedPrompts& prompts, const QString& path)
{
    std::vector<QString> texts;
    for (const test::AskedPrompt& p : prompts.asked) {
        if (p.kind == QStringLiteral("error") && p.text.contains(QDir::toNativeSeparators(path)))
            texts.push_back(p.text);
    }
    return texts;
}

/// A program folder with the language file and the default setup, a data folder, and a folder
/// outside both for what links point to.
struct Installation
{
    Installation()
    {
        EXPECT_TRUE(QDir().mkpath(program.File(QStringLiteral("Language"))));
        EXPECT_TRUE(QDir().mkpath(data.File(QStringLiteral("Data/Result"))));
        EXPECT_TRUE(WriteSetupFile(program.File(QStringLiteral("Default_level.qib")),
                                   DefaultExerciseSetup()));
    }
    Folders ProgramFolders() const
    {
        return Folders{program.Path(), data.Path() + QStringLiteral("Data/")};
    }
    QString DataFile(const QString& name) const { return ProgramFolders().DataFolder + name; }

    TempDir program;
    TempDir data;
    TempDir outside;
};

/// Closes every modal dialog that opens while it lives (the setup chooser, when no setup
/// loads at the start), as a user would with Cancel.
class ModalCloser
{
public:
    ModalCloser()
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                shown.push_back(QString::fromLatin1(dialog->metaObject()->className()));
                dialog->reject();
            }
        });
        m_timer.start();
    }
    QStringList shown;

private:
    QTimer m_timer;
};

ProgramOptions OptionsFor(const Installation& installation, ScriptedPrompts& prompts,
                          const QString& argument, bool& splashHidden)
{
    return ProgramOptions{installation.ProgramFolders(),
                          argument,
                          &prompts,
                          false,
                          FakeDevicesWithoutSoundFont(),
                          [&splashHidden] { splashHidden = true; },
                          nullptr};
}

TEST(BadFilesEndToEnd, LinksPipesAndFoldersInPlaceOfTheFilesAreSaidOnceAndLeftAsTheyAre)
{
    for (const Bad bad : {Bad::LiveLink, Bad::DanglingLink, Bad::Pipe, Bad::Folder}) {
        SCOPED_TRACE(NameOf(bad));
        Installation installation;
        const auto plant = [&](const QString& path, const char* outsideName,
                               std::vector<std::uint8_t> target) {
            return PlantedFile(path, installation.outside.File(QString::fromLatin1(outsideName)),
                               std::move(target), bad);
        };
        TUserRec user = DefaultUser();
        user.UserId = 1;
        user.FullName = QStringLiteral("Outside");
        TSettingsRec settings = DefaultSettings();
        settings.FontSize = 21;
        TClassRec someClass;
        someClass.Name = QStringLiteral("Outside");
        someClass.ClassId = 1;
        TUserChordRec chord;
        chord.Kind = 1;
        chord.NoteCount = 3;
        chord.Index = 40;
        TResultRec result;
        result.UserId = 1;
        result.Kind = 1;
        result.DateTime = 40000;
        ExerciseSetup setup = DefaultExerciseSetup();
        setup.ChordIdentification.ItemFlags.fill(0);
        for (std::size_t i : {0U, 1U, 4U})
            setup.ChordIdentification.ItemFlags[i] = 1;
        const auto setupBytes = EncodeExerciseSetup(setup);
        const std::vector<PlantedFile> dataFiles = {
            plant(installation.DataFile(QStringLiteral("User.dat")), "User.dat",
                  Bytes(EncodeUserRec(user))),
            plant(installation.DataFile(QStringLiteral("Setting.dat")), "Setting.dat",
                  Bytes(EncodeSettingsRec(settings))),
            plant(installation.DataFile(QStringLiteral("Class.dat")), "Class.dat",
                  Bytes(EncodeClassRec(someClass))),
            plant(installation.DataFile(QStringLiteral("Chord.dat")), "Chord.dat",
                  Bytes(EncodeUserChordRec(chord))),
            plant(installation.DataFile(QStringLiteral("Result/User001.dat")), "User001.dat",
                  Bytes(EncodeResultRec(result))),
        };
        const PlantedFile language =
            plant(installation.program.File(QStringLiteral("Language/English.LAN")), "English.LAN",
                  ReadAll(QStringLiteral(PELLIVARK_ENGLISH_LAN)));
        const PlantedFile chosenSetup =
            plant(installation.program.File(QStringLiteral("Chosen.qib")), "Chosen.qib",
                  Bytes(setupBytes));

        ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("Bo")};
        prompts.defaultButton = PromptButton::Yes; // store the results, then close
        bool splashHidden = false;
        {
            PellivarkProgram program(
                OptionsFor(installation, prompts, chosenSetup.Path(), splashHidden));
            program.SetChooseTutor([] { return kNoTutorChosen; });
            TPellivarkMain& window = program.MainWindow();
            window.resize(1100, 760);
            window.show();
            // A pipe opened for reading would wait here for a writer that never comes.
            ASSERT_TRUE(
                RunUntil([&] { return !program.Model().FirstShowPending && splashHidden; }));
            EXPECT_EQ(window.ShownView(), &program.StartMenu());

            // The setup named on the command line: a live link is that setup; anything else
            // is named with its reason and the setup used last is taken.
            if (bad == Bad::LiveLink) {
                EXPECT_EQ(program.Setup().SetupFileName, chosenSetup.Path());
                EXPECT_TRUE(ErrorsNaming(prompts, chosenSetup.Path()).empty());
            } else {
                EXPECT_EQ(program.Setup().SetupFileName,
                          installation.program.File(QStringLiteral("Default_level.qib")));
                const auto said = ErrorsNaming(prompts, chosenSetup.Path());
                ASSERT_EQ(said.size(), 1U);
                const QString reason =
                    bad == Bad::DanglingLink ? QStringLiteral("No such file") : DataFileReason(bad);
                EXPECT_TRUE(said.front().contains(reason)) << said.front().toStdString();
            }

            // The exercise works, answered often enough for its results to be offered.
            window.Button(MainControl::Speed1)->click();
            TAkkord* exercise =
                program.Exercises().Identification(ExerciseKind::ChordIdentification);
            ASSERT_NE(exercise, nullptr);
            ASSERT_EQ(window.ShownView(), exercise);
            for (int q = 0; q < 6; ++q) {
                Key(exercise, Qt::Key_F5);
                const AkkordModel& model = exercise->Model();
                ASSERT_NE(model.QuestionItem, 0);
                AnswerWith(exercise
                               ->AnswerButtons()[static_cast<std::size_t>(
                                   model.ButtonOfItem(model.QuestionItem) - 1)]
                               .Button);
            }
            window.close();
            QCoreApplication::processEvents();
            EXPECT_FALSE(window.isVisible()) << "the program closes";
        }

        // Every data file the session used (read and written) is said once, with why. The
        // class file is read for the welcome line, which comes from the language file: without
        // that file nothing reads it.
        for (const PlantedFile& file : dataFiles) {
            SCOPED_TRACE(file.Path().toStdString());
            const auto said = ErrorsNaming(prompts, file.Path());
            file.ExpectUntouched();
            if (file.Path().endsWith(QStringLiteral("Class.dat")) && bad != Bad::LiveLink) {
                EXPECT_TRUE(said.empty());
                continue;
            }
            ASSERT_EQ(said.size(), 1U);
            EXPECT_TRUE(said.front().contains(DataFileReason(bad))) << said.front().toStdString();
        }
        // The language file is shipped, not data: a link to it is the file.
        const auto languageSaid = ErrorsNaming(prompts, language.Path());
        if (bad == Bad::LiveLink) {
            EXPECT_TRUE(languageSaid.empty());
        } else {
            ASSERT_FALSE(languageSaid.empty());
            for (const QString& text : languageSaid) {
                const QString reason = bad == Bad::DanglingLink
                                           ? QStringLiteral("File does not exist")
                                           : DataFileReason(bad);
                EXPECT_TRUE(text.contains(reason)) << text.toStdString();
            }
        }
        language.ExpectUntouched();
        chosenSetup.ExpectUntouched();
    }
}

TEST(BadFilesEndToEnd, ALastSetupThatCannotBeReadIsNamedWithItsReason)
{
    Installation installation;
    const QString last = installation.program.File(QStringLiteral("Default_level.qib"));
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start == 0 ? "first start" : "the setup used last is now a pipe");
        if (start == 1) {
            ASSERT_TRUE(QFile::remove(last));
            ASSERT_EQ(mkfifo(QFile::encodeName(last).constData(), 0644), 0);
        }
        ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("Bo")};
        prompts.defaultButton = PromptButton::No;
        bool splashHidden = false;
        ModalCloser closer;
        PellivarkProgram program(OptionsFor(installation, prompts, {}, splashHidden));
        program.SetChooseTutor([] { return kNoTutorChosen; });
        program.MainWindow().show();
        ASSERT_TRUE(RunUntil([&] { return !program.Model().FirstShowPending && splashHidden; }));
        const auto said = ErrorsNaming(prompts, last);
        if (start == 0) {
            EXPECT_TRUE(said.empty());
            EXPECT_EQ(program.Setup().SetupFileName, last);
        } else {
            ASSERT_EQ(said.size(), 1U);
            EXPECT_FALSE(said.front().contains(QStringLiteral("does not exist")))
                << said.front().toStdString();
            EXPECT_TRUE(said.front().contains(QStringLiteral("a pipe, not a regular file")))
                << said.front().toStdString();
            EXPECT_EQ(program.Setup().CurrentSetup, DefaultExerciseSetup());
            EXPECT_EQ(closer.shown, QStringList{QStringLiteral("pv::TLevels")})
                << "the chooser offered next";
        }
        program.MainWindow().close();
        QCoreApplication::processEvents();
    }
}

} // namespace
} // namespace pv
