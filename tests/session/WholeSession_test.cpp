// One student's whole session in the real program on a real X server with a window manager:
// the program built as its main builds it (the shipped files of the build's program folder,
// the real prompts and dialogs), driven only through its own widgets, closed, started again,
// and its stored files read back with the program's own readers.
#include "exercises/identification/InstrumentGeometry.h"
#include "exercises/items/ItemTables.h"
#include "exercises/rhythmexercise/RytmeImitModel.h"
#include "exercises/setup/SetupFile.h"
#include "exercises/ui/InstrumentViews.h"
#include "exercises/ui/TAkkord.h"
#include "exercises/ui/TChordOps.h"
#include "exercises/ui/TControlButton.h"
#include "exercises/ui/TRhythmWindow.h"
#include "exercises/ui/TRytmeImit.h"
#include "music/data/ResultFiles.h"
#include "music/data/UserFile.h"
#include "music/files/Folders.h"
#include "music/files/SettingsRecord.h"
#include "music/files/UserRecord.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/main/ui/ExerciseWindowSet.h"
#include "shell/results/ui/ResultsCommands.h"
#include "shell/results/ui/TUserResult.h"
#include "shell/settings/ui/TProgramSettings.h"
#include "shell/startmenu/ui/TMenuDialog.h"
#include "shell/startmenu/ui/TVelkommen.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/DataFolderCopy.h"
#include "support/TempDir.h"
#include "support/TestOutput.h"

#include <deque>
#include <functional>
#include <iostream>
#include <memory>
#include <span>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::TempDir;

constexpr int kGuardMs = 60000;

QString VisibleWindows();

/// Handles events until done holds; false when it never did (a guard, not a measure).
bool RunUntil(const std::function<bool()>& done, int guardMs = kGuardMs)
{
    const QDeadlineTimer guard(guardMs);
    while (!done()) {
        if (guard.hasExpired()) {
            std::cerr << "still waiting; visible: " << VisibleWindows().toStdString() << "\n";
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

/// Lets the event loop run for ms: the time a user's rhythm leaves between two taps.
void Let(int ms)
{
    const QDeadlineTimer until(ms);
    RunUntil([&] { return until.hasExpired(); }, ms + kGuardMs);
}

/// Pictures of the whole screen (the window manager's frames and the dialogs with them),
/// numbered in the order they were taken.
class Shots
{
public:
    Shots() { QDir().mkpath(Folder()); }
    static QString Folder() { return test::TestOutputDir() + QStringLiteral("session/"); }

    void Take(const QString& name)
    {
        // What was shown last is painted before the picture is taken.
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const QString path =
            Folder() + QStringLiteral("%1-%2.png").arg(m_next++, 2, 10, QLatin1Char('0')).arg(name);
        EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(path))
            << path.toStdString();
    }

private:
    int m_next = 1;
};

QString NameOf(const QWidget& window)
{
    return window.objectName().isEmpty() ? QString::fromLatin1(window.metaObject()->className())
                                         : window.objectName();
}

/// The top-level windows on screen, for a failure's message.
QString VisibleWindows()
{
    QStringList names;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            names << NameOf(*window) + QStringLiteral(" \"") + window->windowTitle() + u'"';
    }
    return names.join(QStringLiteral(", "));
}

/// Answers the program's modal windows as a user would: each one that comes up is matched,
/// in order, against what the test expects, pictured, and answered by pressing its widgets.
class ModalAnswers final : public QObject
{
public:
    using Act = std::function<void(QWidget&)>;

    explicit ModalAnswers(Shots& shots) : m_shots(shots)
    {
        connect(&m_poll, &QTimer::timeout, this, [this] { Look(); });
        m_poll.start(40);
    }

    /// The next modal window must be called name (its object name, else its class); act
    /// answers it.
    void Expect(const QString& name, Act act) { m_expected.push_back({name, std::move(act)}); }
    /// Drops what was expected and never came.
    void Forget() { m_expected.clear(); }
    bool AllAnswered() const { return m_expected.empty(); }
    QString Pending() const { return m_expected.empty() ? QString() : m_expected.front().name; }

    /// Modal windows nobody expected (closed, so that the session goes on).
    QStringList unexpected;
    QStringList answered;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_current && event->type() == QEvent::Hide) {
            watched->removeEventFilter(this);
            m_current = nullptr;
            m_steadyTicks = 0;
        }
        return false;
    }

private:
    struct Expected
    {
        QString name;
        Act act;
    };

    void Look()
    {
        if (m_current && m_current->isVisible() && m_answeredAt.hasExpired()) {
            // An answer that never closed its window: the test fails instead of hanging.
            const QString name = NameOf(*m_current);
            ADD_FAILURE() << name.toStdString() << " stayed open after its answer; visible: "
                          << VisibleWindows().toStdString();
            m_shots.Take(QStringLiteral("stuck-") + name);
            m_current->close();
            m_answeredAt = QDeadlineTimer(kGuardMs);
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == m_current || !modal->isVisible() ||
            modal->windowHandle() == nullptr || !modal->windowHandle()->isExposed()) {
            m_candidate = nullptr;
            return;
        }
        // The window manager maps and the dialog paints over a few turns of the loop; the
        // picture waits for a dialog that has stayed up.
        if (modal != m_candidate) {
            m_candidate = modal;
            m_steadyTicks = 0;
            return;
        }
        if (++m_steadyTicks < 3)
            return;
        m_current = modal;
        m_answeredAt = QDeadlineTimer(kGuardMs);
        m_candidate = nullptr;
        modal->installEventFilter(this);
        const QString name = NameOf(*modal);
        QPointer<QWidget> target(modal);
        if (m_expected.empty() || m_expected.front().name != name) {
            unexpected << name;
            m_shots.Take(QStringLiteral("unexpected-") + name);
            QTimer::singleShot(0, this, [target] {
                if (target)
                    target->close();
            });
            return;
        }
        Expected next = std::move(m_expected.front());
        m_expected.pop_front();
        answered << name;
        m_shots.Take(name);
        // Answered from a turn of its own: a dialog the answer opens runs its own loop, and
        // this poll must go on looking meanwhile.
        QTimer::singleShot(0, this, [target, act = std::move(next.act)] {
            if (target)
                act(*target);
        });
    }

    Shots& m_shots;
    QTimer m_poll;
    std::deque<Expected> m_expected;
    QPointer<QWidget> m_current;
    QPointer<QWidget> m_candidate;
    QDeadlineTimer m_answeredAt;
    int m_steadyTicks = 0;
};

void Click(QAbstractButton* button, Qt::MouseButton which = Qt::LeftButton)
{
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible()) << button->objectName().toStdString();
    QTest::mouseClick(button, which);
}

void ClickNamed(QWidget& window, const char* name)
{
    auto* button = window.findChild<QAbstractButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name << " in " << NameOf(window).toStdString();
    Click(button);
}

/// A message box answered with one of its buttons.
ModalAnswers::Act Press(QMessageBox::StandardButton which)
{
    return [which](QWidget& window) {
        auto* box = qobject_cast<QMessageBox*>(&window);
        ASSERT_NE(box, nullptr);
        Click(box->button(which));
    };
}

/// A text question answered by typing text and OK.
ModalAnswers::Act Type(const QString& text)
{
    return [text](QWidget& window) {
        auto* edit = window.findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        auto* buttons = window.findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        Click(buttons->button(QDialogButtonBox::Ok));
    };
}

/// Opens the main menu that holds action and clicks the entry, as a user does (the menu
/// updates what it offers as it opens).
void ChooseFromMenu(QMainWindow& window, QAction* action)
{
    ASSERT_NE(action, nullptr);
    QMenuBar& bar = *window.menuBar();
    for (QAction* top : bar.actions()) {
        QMenu* menu = top->menu();
        if (menu == nullptr || !menu->actions().contains(action))
            continue;
        QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.actionGeometry(top).center());
        ASSERT_TRUE(RunUntil([&] { return menu->isVisible(); })) << top->text().toStdString();
        ASSERT_TRUE(action->isEnabled()) << action->text().toStdString();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        return;
    }
    ADD_FAILURE() << "no menu holds " << action->text().toStdString();
}

/// Clicks button index of an exercise's control strip where the strip draws it.
void ClickControl(TControlButton& strip, int index)
{
    // The middle of the face the strip draws for the button: its edges blend into the strip.
    QRect face;
    for (int y = 0; y < strip.height(); y += 2) {
        for (int x = 0; x < strip.width(); x += 2) {
            if (strip.HitTest(x, y) == index)
                face = face.united(QRect(x, y, 1, 1));
        }
    }
    ASSERT_FALSE(face.isEmpty()) << "no control button " << index;
    ASSERT_EQ(strip.HitTest(face.center().x(), face.center().y()), index);
    QTest::mouseMove(&strip, face.center());
    QTest::mouseClick(&strip, Qt::LeftButton, {}, face.center());
}

/// The program as its main makes it: the build's program folder with its shipped files, the
/// data folder the environment names, the real prompts, dialogs and devices.
class Program
{
public:
    Program()
    {
        QApplication::setApplicationName(QStringLiteral("Pellivark"));
        QApplication::setOrganizationName(QStringLiteral("Orvanta"));
        splash = std::make_unique<TVelkommen>();
        splash->setObjectName(QStringLiteral("SplashForm"));
        splash->ShowAtStartUp();
        ProgramOptions options;
        options.ProgramFolders = ChooseFoldersOfBinary(QStringLiteral(PELLIVARK_PROGRAM_DIR));
        options.OfferConfigWizard = true;
        options.HideSplash = [this] {
            if (splash)
                splash->hide();
        };
        program = std::make_unique<PellivarkProgram>(std::move(options));
    }
    ~Program()
    {
        program.reset();
        splash.reset();
    }

    /// Shows the main window and waits for its first show to end (the name question, the
    /// wizard and the start menu on the way).
    bool Start()
    {
        if (program->Failed())
            return false;
        Window().show();
        return RunUntil(
            [this] { return !program->Model().FirstShowPending && !splash->isVisible(); });
    }

    TPellivarkMain& Window() { return program->MainWindow(); }
    TAkkord* Chords()
    {
        return program->Exercises().Identification(ExerciseKind::ChordIdentification);
    }
    const ExerciseSession& Session(ExerciseKind kind) { return program->Sessions().Of(kind); }

    std::unique_ptr<TVelkommen> splash;
    std::unique_ptr<PellivarkProgram> program;
};

/// Where each tool window stands, as the user sees it.
std::vector<std::pair<QString, QRect>> ToolLayout(TPellivarkMain& window)
{
    std::vector<std::pair<QString, QRect>> layout;
    for (int n = 0; n < 8; ++n) {
        if (auto* bar = window.findChild<QWidget*>(QStringLiteral("ToolWindow%1").arg(n)))
            layout.emplace_back(bar->objectName(), bar->isVisible() ? bar->geometry() : QRect());
    }
    return layout;
}

/// A new question by the strip, answered right by the answer button with the right mouse
/// button (which scores at once).
void AnswerByButton(Program& p)
{
    TAkkord& chords = *p.Chords();
    const std::uint32_t before = p.Session(ExerciseKind::ChordIdentification).QuestionCount;
    ClickControl(*chords.ControlButtons, 0);
    const AkkordModel& model = chords.Model();
    ASSERT_TRUE(RunUntil([&] {
        return model.QuestionItem != 0 && !p.Session(ExerciseKind::ChordIdentification).Answered;
    }));
    QPushButton* button =
        chords.AnswerButtons()[static_cast<std::size_t>(model.ButtonOfItem(model.QuestionItem) - 1)]
            .Button;
    ASSERT_TRUE(RunUntil([&] { return button->isEnabled(); }));
    Click(button, Qt::RightButton);
    ASSERT_TRUE(RunUntil([&] {
        // A tutor's step that ends here starts its count again.
        return p.Session(ExerciseKind::ChordIdentification).QuestionCount != before;
    }));
}

class WholeSession : public ::testing::Test
{
protected:
    WholeSession()
    {
        qputenv(kDataFolderVariable, QFile::encodeName(data.Path()));
        qputenv("HOME", QFile::encodeName(home.Path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.File(QStringLiteral(".config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.File(QStringLiteral(".local/share"))));
    }

    TempDir data;
    TempDir home;
    Shots shots;
    ModalAnswers answers{shots};
};

TEST_F(WholeSession, OneStudentFromTheFirstStartToTheNextStart)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "a real X server";
    const QString name = QStringLiteral("Ann Example");
    QString pdf; // where the print dialog offers to write the report
    std::vector<std::pair<QString, QRect>> layoutAtClose;
    bool autoAtClose = false;
    QStringList closeQuestions;
    {
        // 1. The first start: no sound card here (the real box says so and is pressed), the
        // name question, and the wizard, which the user closes.
        answers.Expect(QStringLiteral("QMessageBox"), Press(QMessageBox::Ok));
        answers.Expect(QStringLiteral("QInputDialog"), Type(name));
        answers.Expect(QStringLiteral("ConfigWizardForm"), [](QWidget& wizard) { wizard.close(); });
        Program p;
        ASSERT_TRUE(p.Start());
        ASSERT_TRUE(RunUntil([&] { return answers.AllAnswered(); }))
            << answers.Pending().toStdString();
        EXPECT_EQ(p.Window().ShownView(), &p.program->StartMenu());
        // A window manager frames the window.
        ASSERT_TRUE(RunUntil([&] { return p.Window().frameGeometry() != p.Window().geometry(); }));
        shots.Take(QStringLiteral("start-menu"));

        // 2. Chord identification from the start menu; the tutor it offers is left for later.
        answers.Expect(QStringLiteral("ChooseTutorForm"),
                       [](QWidget& chooser) { ClickNamed(chooser, "BitBtn2"); }); // Cancel
        Click(p.program->StartMenu().KindButton(ExerciseKind::ChordIdentification));
        ASSERT_TRUE(RunUntil(
            [&] { return p.Chords() != nullptr && p.Window().ShownView() == p.Chords(); }));
        ASSERT_TRUE(RunUntil([&] { return answers.AllAnswered(); }))
            << answers.Pending().toStdString();
        TAkkord& chords = *p.Chords();

        // 3. Questions answered by button, then on the piano the answer menu shows.
        for (int q = 0; q < 3; ++q)
            AnswerByButton(p);
        shots.Take(QStringLiteral("answered-by-button"));
        QAction* piano = p.Window().CommandAction(QStringLiteral("Screenpiano1"));
        ChooseFromMenu(p.Window(), piano);
        ASSERT_TRUE(RunUntil([&] { return chords.Panel52->isVisible(); }));
        {
            const std::uint32_t before = p.Session(ExerciseKind::ChordIdentification).QuestionCount;
            ClickControl(*chords.ControlButtons, 0);
            ASSERT_TRUE(RunUntil([&] { return chords.Model().QuestionNoteCount > 0; }));
            TPianoView& view = chords.PianoView();
            const AkkordModel& model = chords.Model();
            for (int k = 0; k < model.QuestionNoteCount; ++k) {
                const int pitch = model.QuestionNotes[static_cast<std::size_t>(k)].Pitch.Note;
                const auto key = PianoKeyOf(pitch, model.DisplayOffset);
                ASSERT_TRUE(key.has_value()) << pitch;
                const LayoutRect r = PianoKeyHighlight(*key).front();
                QTest::mouseClick(
                    &view, Qt::LeftButton, {},
                    QPoint(r.X + r.Width / 2, PianoBoxY(r.Y + r.Height / 2, view.height())));
            }
            shots.Take(QStringLiteral("piano-notes-entered"));
            ClickControl(*chords.ControlButtons, 3);
            ASSERT_TRUE(RunUntil([&] {
                return p.Session(ExerciseKind::ChordIdentification).QuestionCount == before + 1;
            }));
            EXPECT_EQ(p.Session(ExerciseKind::ChordIdentification).CorrectCount, before + 1)
                << "the chord's notes played on the piano are its right answer";
        }
        shots.Take(QStringLiteral("answered-on-the-piano"));

        // 4. The setup view: major, minor and diminished ticked, then back to the exercise.
        Click(p.Window().Button(MainControl::RunKonfig));
        TChordOps* page = p.program->ChordOps();
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(RunUntil([&] { return p.Window().ShownView() == page; }));
        Click(page->SpeedButton2); // none ticked
        QTableView& grid = *page->DrawGrid1;
        for (int item : {1, 2, 3}) {
            const QModelIndex cell = grid.model()->index(item - 1, 1);
            grid.scrollTo(cell);
            QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
        }
        shots.Take(QStringLiteral("setup-three-chords"));
        Click(p.Window().Button(MainControl::SpeedButton1));
        ASSERT_TRUE(RunUntil([&] { return p.Window().ShownView() == p.Chords(); }));
        EXPECT_EQ(chords.Model().ButtonCount, 3);
        shots.Take(QStringLiteral("exercise-with-three-chords"));

        // 5. The tutor: chosen, its first step told, answered to its end, the step's end
        // answered with the move it proposes, the next step told; then off again.
        answers.Expect(QStringLiteral("ChooseTutorForm"),
                       [](QWidget& chooser) { ClickNamed(chooser, "BitBtn1"); });
        answers.Expect(QStringLiteral("TutorStepInfoForm"),
                       [](QWidget& info) { ClickNamed(info, "BitBtn1"); });
        Click(p.Window().Button(MainControl::SpeedButton10));
        ASSERT_TRUE(RunUntil([&] {
            return answers.AllAnswered() && p.program->State().TutorActive;
        })) << answers.Pending().toStdString();
        shots.Take(QStringLiteral("tutor-step"));
        answers.Expect(QStringLiteral("EndTutorStepForm"),
                       [](QWidget& end) { ClickNamed(end, "BitBtn1"); });
        answers.Expect(QStringLiteral("TutorStepInfoForm"),
                       [](QWidget& info) { ClickNamed(info, "BitBtn1"); });
        for (int q = 0; q < 60 && !answers.AllAnswered(); ++q) {
            ASSERT_TRUE(RunUntil([&] { return !p.program->Modal().Raised(); }));
            if (answers.AllAnswered())
                break;
            AnswerByButton(p);
        }
        ASSERT_TRUE(RunUntil([&] { return answers.AllAnswered(); }))
            << answers.Pending().toStdString();
        ASSERT_TRUE(RunUntil([&] { return !p.program->Modal().Raised(); }));
        shots.Take(QStringLiteral("tutor-next-step"));
        Click(p.Window().Button(MainControl::SpeedButton10));
        ASSERT_TRUE(RunUntil([&] { return !p.program->State().TutorActive; }));
        EXPECT_EQ(chords.Model().ButtonCount, 3) << "the user's own setup is back";
        // Enough answers of the user's own run for the close to offer storing them.
        for (int q = 0; q < 5; ++q)
            AnswerByButton(p);

        // 6. Rhythm imitation: the rhythm played, then tapped back on the tap key.
        Click(p.Window().Button(MainControl::Speed4));
        auto* imitation =
            dynamic_cast<TRytmeImit*>(p.program->Exercises().Rhythm(ExerciseKind::RhythmImitation));
        ASSERT_NE(imitation, nullptr);
        ASSERT_TRUE(RunUntil([&] { return p.Window().ShownView() == imitation; }));
        ClickControl(*imitation->ControlButtons, 0);
        const RytmeImitModel& rhythm = imitation->Model();
        ASSERT_TRUE(RunUntil(
            [&] { return rhythm.Recording && rhythm.InstructionText == rhythm.Texts.Turn; }));
        shots.Take(QStringLiteral("rhythm-your-turn"));
        const int quarterMs = 60000 / std::max(1, static_cast<int>(rhythm.Rytme().Tempo));
        for (int tap = 0; tap < 4 && rhythm.Recording; ++tap) {
            QTest::keyClick(&p.Window(), Qt::Key_Space);
            Let(quarterMs);
        }
        ASSERT_TRUE(RunUntil([&] { return p.Session(ExerciseKind::RhythmImitation).Answered; }));
        shots.Take(QStringLiteral("rhythm-tapped"));

        // 7. The results view, and a report printed to a PDF file.
        Click(p.Window().Button(MainControl::SpeedButton5));
        ASSERT_TRUE(
            RunUntil([&] { return p.Window().ShownView() == p.program->Results()->View(); }));
        shots.Take(QStringLiteral("results-view"));
        answers.Expect(QStringLiteral("ReportsForm"), [&](QWidget& reports) {
            EXPECT_FALSE(reports.windowTitle().contains(u'&')) << "a title, not a menu text";
            ClickNamed(reports, "Button2"); // print; its dialog runs inside
            ClickNamed(reports, "Button3");
        });
        answers.Expect(QStringLiteral("PrintDialog1"), [&](QWidget& print) {
            auto* file = print.findChild<QLineEdit*>(QStringLiteral("filename"));
            ASSERT_NE(file, nullptr);
            pdf = file->text();
            EXPECT_TRUE(pdf.endsWith(QStringLiteral(".pdf"))) << pdf.toStdString();
            // Print, the dialog's default button.
            QPushButton* print_ = nullptr;
            for (QPushButton* button : print.findChildren<QPushButton*>()) {
                if (button->isDefault() && button->isVisible())
                    print_ = button;
            }
            Click(print_);
        });
        ChooseFromMenu(p.Window(), p.Window().CommandAction(QStringLiteral("Reports1")));
        ASSERT_TRUE(RunUntil([&] { return answers.AllAnswered(); }))
            << answers.Pending().toStdString();
        ASSERT_FALSE(pdf.isEmpty());
        ASSERT_TRUE(RunUntil([&] { return QFileInfo(pdf).size() > 0; })) << pdf.toStdString();
        {
            QFile file(pdf);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_TRUE(file.read(5) == "%PDF-") << "a PDF file";
        }

        // 8. A program setting: a new question comes by itself.
        bool autoBefore = p.program->App().ProgramSettings.AutoNewQuestion;
        answers.Expect(QStringLiteral("ProgramSettingsForm"), [&](QWidget& dialog) {
            auto& settings = static_cast<TProgramSettings&>(dialog);
            QCheckBox* box = settings.CheckBox4;
            for (int n = 0; n < settings.Pages()->count() && !box->isVisible(); ++n)
                settings.Pages()->setCurrentIndex(n);
            Click(box);
            shots.Take(QStringLiteral("settings-changed"));
            Click(settings.BitBtn1);
        });
        ChooseFromMenu(p.Window(), p.Window().CommandAction(QStringLiteral("Programsettings1")));
        ASSERT_TRUE(RunUntil([&] { return answers.AllAnswered(); }))
            << answers.Pending().toStdString();
        EXPECT_NE(p.program->App().ProgramSettings.AutoNewQuestion, autoBefore);
        autoAtClose = p.program->App().ProgramSettings.AutoNewQuestion;

        // 9. Closed with the results stored and the changed setup saved under its name.
        layoutAtClose = ToolLayout(p.Window());
        // The results stored, and the changed setup saved under a name of the user's own.
        answers.Expect(QStringLiteral("QMessageBox"), Press(QMessageBox::Yes));
        answers.Expect(QStringLiteral("QMessageBox"), Press(QMessageBox::Yes));
        answers.Expect(QStringLiteral("QFileDialog"), [](QWidget& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            QTest::keyClicks(edit, QStringLiteral("Ann chords"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        for (int q = 0; q < 4; ++q)
            answers.Expect(QStringLiteral("QMessageBox"), Press(QMessageBox::Yes));
        p.Window().close();
        ASSERT_TRUE(RunUntil([&] { return !p.Window().isVisible(); }))
            << answers.Pending().toStdString();
        closeQuestions = answers.answered;
        answers.Forget();
    }
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join(u',').toStdString();
    std::cerr << "answered: " << closeQuestions.join(u',').toStdString() << "\n";

    // The stored files, read back with the program's own readers.
    const Folders folders = ChooseFoldersOfBinary(QStringLiteral(PELLIVARK_PROGRAM_DIR));
    ASSERT_EQ(QDir(folders.DataFolder).absolutePath(), QDir(data.Path()).absolutePath());
    {
        test::DataFolderCopy files(folders);
        const std::optional<TUserRec> user = files.User(1);
        ASSERT_TRUE(user.has_value()) << "User.dat holds the student";
        EXPECT_TRUE(user->FullName.contains(QStringLiteral("Ann"))) << user->FullName.toStdString();
        // The tutor's step stored its run at its end, the close the user's own run; the single
        // rhythm is too few answers to be offered for storing.
        int chordRuns = 0;
        for (const TResultRec& rec : files.Results(1)) {
            if (rec.Kind != KindNumber(ExerciseKind::ChordIdentification))
                continue;
            ++chordRuns;
            // The user's own run holds only the chords the user ticked, none of the tutor's
            // next step, which was told and then left.
            if (rec.TutorStep == 0) {
                for (std::size_t n = 3; n < rec.Items.size(); ++n)
                    EXPECT_EQ(rec.Items[n].Asked, 0) << "item " << n + 1;
            }
        }
        EXPECT_EQ(chordRuns, 2);
        QFile settingFile(data.File(QStringLiteral("Setting.dat")));
        ASSERT_TRUE(settingFile.open(QIODevice::ReadOnly));
        const QByteArray bytes = settingFile.readAll();
        const auto settings = DecodeSettingsRec(
            std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                          static_cast<std::size_t>(bytes.size())));
        ASSERT_TRUE(settings.has_value()) << "Setting.dat reads back";
        EXPECT_EQ(settings->AutoNewQuestion, autoAtClose);
    }

    // 10. The next start in the same folders: the greeting, the setup, the layout, the results.
    {
        answers.Expect(QStringLiteral("QMessageBox"), Press(QMessageBox::Ok)); // still no sound
        // The wizard the user closed unfinished is offered again, and closed again.
        answers.Expect(QStringLiteral("ConfigWizardForm"), [](QWidget& wizard) { wizard.close(); });
        Program p;
        ASSERT_TRUE(p.Start()) << answers.Pending().toStdString();
        ASSERT_TRUE(RunUntil([&] { return p.Window().ShownView() == &p.program->StartMenu(); }));
        shots.Take(QStringLiteral("next-start"));
        const std::optional<QString> welcome = p.program->StartMenuService().WelcomeLine();
        ASSERT_TRUE(welcome.has_value());
        EXPECT_TRUE(welcome->contains(QStringLiteral("Ann"))) << welcome->toStdString();
        EXPECT_EQ(p.program->App().ProgramSettings.AutoNewQuestion, autoAtClose);
        Click(p.program->StartMenu().KindButton(ExerciseKind::ChordIdentification));
        ASSERT_TRUE(RunUntil(
            [&] { return p.Chords() != nullptr && p.Window().ShownView() == p.Chords(); }));
        EXPECT_EQ(p.Chords()->Model().ButtonCount, 3) << "the three chords ticked";
        // The tool windows stand where they stood (their widths follow what they show).
        const auto layout = ToolLayout(p.Window());
        ASSERT_EQ(layout.size(), layoutAtClose.size());
        for (std::size_t n = 0; n < layout.size(); ++n) {
            SCOPED_TRACE(layout[n].first.toStdString());
            if (layout[n].second.isValid() && layoutAtClose[n].second.isValid()) {
                EXPECT_EQ(layout[n].second.topLeft(), layoutAtClose[n].second.topLeft());
            }
        }
        shots.Take(QStringLiteral("next-start-chords"));
        Click(p.Window().Button(MainControl::SpeedButton5));
        ASSERT_TRUE(
            RunUntil([&] { return p.Window().ShownView() == p.program->Results()->View(); }));
        EXPECT_GE(p.program->Results()->View()->Grid()->model()->rowCount(), 2)
            << "the stored runs";
        shots.Take(QStringLiteral("next-start-results"));
        for (int q = 0; q < 3; ++q)
            answers.Expect(QStringLiteral("QMessageBox"), Press(QMessageBox::No));
        p.Window().close();
        ASSERT_TRUE(RunUntil([&] { return !p.Window().isVisible(); }));
    }
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join(u',').toStdString();
    std::cerr << "answered: " << answers.answered.join(u',').toStdString() << "\n";
}

} // namespace
} // namespace pv
