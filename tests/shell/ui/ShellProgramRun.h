// The whole program over a temporary installation, for tests that start it, use it as a user
// would, close it and start it again.
#pragma once

#include "ProgramTestSupport.h"
#include "TestInstallation.h"
#include "exercises/setup/SetupFile.h"
#include "exercises/ui/TAkkord.h"
#include "music/files/Folders.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/main/ui/ExerciseWindowSet.h"
#include "shell/tutor/ChooseTutorModel.h"
#include "shell/tutor/TutorDescription.h"
#include "shell/tutor/TutorFile.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <ostream>

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// Qt's own keyboard simulation goes through this to reach the shortcut map; the program's tests
// do the same without the test library.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k,
                                               Qt::KeyboardModifiers mods,
                                               const QString& text = QString(),
                                               bool autorep = false, ushort count = 1);

namespace pv::test {

/// One run of the program: built, shown, and through its first show.
class ProgramRun
{
public:
    /// adjust changes the options before the program is made (other devices, the wizard).
    ProgramRun(const Installation& installation, ScriptedPrompts& prompts,
               const QString& argument = {},
               const std::function<void(ProgramOptions&)>& adjust = {})
        : program(Options(installation, prompts, argument, adjust))
    {
        // The tutor chooser answers "no tutor" (its own tests drive it).
        program.SetChooseTutor([] { return kNoTutorChosen; });
        program.MainWindow().resize(1100, 760);
        program.MainWindow().show();
        started = RunUntil([this] { return !program.Model().FirstShowPending && splashHidden; });
    }

    TPellivarkMain& Window() { return program.MainWindow(); }
    TAkkord* ChordWindow()
    {
        return program.Exercises().Identification(ExerciseKind::ChordIdentification);
    }

    /// Closes the main window as its close box would; true when it closed.
    bool Close()
    {
        Window().close();
        QCoreApplication::processEvents();
        return !Window().isVisible();
    }

    /// Answers the program's modal dialogs (the setup chooser, the tutor's); unset: any
    /// dialog is a failure of the test, answered with Rejected.
    std::function<int(QDialog&)> dialogs;
    bool splashHidden = false;
    PellivarkProgram program;
    bool started = false;

private:
    ProgramOptions Options(const Installation& installation, ScriptedPrompts& prompts,
                           const QString& argument,
                           const std::function<void(ProgramOptions&)>& adjust)
    {
        ProgramOptions options{installation.ProgramFolders(),
                               argument,
                               &prompts,
                               false,
                               FakeDevicesWithoutSoundFont(),
                               [this] { splashHidden = true; }};
        options.FirstRunStorePath = installation.FirstRunStore();
        options.RunDialog = [this](QDialog& dialog) {
            if (dialogs)
                return dialogs(dialog);
            ADD_FAILURE() << "a dialog nobody expected: " << dialog.objectName().toStdString();
            return static_cast<int>(QDialog::Rejected);
        };
        if (adjust)
            adjust(options);
        return options;
    }
};

/// Presses a key as the keyboard would, for the shortcuts of the window's menus; true when a
/// shortcut took it.
inline bool PressShortcut(QWidget& window, int key)
{
    return qt_sendShortcutOverrideEvent(&window, 0, key, Qt::NoModifier);
}

/// Answers a tutor's dialog (the step information) with its OK button.
inline int AcceptTutorDialog(QDialog& dialog)
{
    dialog.show();
    QCoreApplication::processEvents();
    if (auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1")))
        ok->click();
    return dialog.result();
}

inline void Key(QWidget* target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

/// Puts questions in the chord window and answers each right with the right mouse button,
/// which scores at once.
inline void AnswerQuestions(TAkkord& exercise, int count)
{
    for (int q = 0; q < count; ++q) {
        Key(&exercise, Qt::Key_F5);
        const AkkordModel& model = exercise.Model();
        ASSERT_NE(model.QuestionItem, 0) << "a question is open";
        const int button = model.ButtonOfItem(model.QuestionItem);
        QPushButton* target = exercise.AnswerButtons()[static_cast<std::size_t>(button - 1)].Button;
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::RightButton,
                          Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at),
                            Qt::RightButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &release);
    }
}

} // namespace pv::test
