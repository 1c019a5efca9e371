// The main window's own commands as rows.
#include "shell/main/MainCommands.h"

#include "music/base/ExerciseKindUi.h"
#include "music/base/Prompts.h"
#include "music/data/UserFile.h"
#include "music/strings/UIStrings.h"
#include "shell/main/ViewTags.h"
#include "shell/state/AppState.h"

namespace pv {

namespace {

constexpr qsizetype kFullNameCapacity = 31;

const QString kViews = QStringLiteral("views");
const QString kExercises = QStringLiteral("exercises");

/// A switch: a view, exercise or tutor button, or its menu entry.
CommandRow Switch(const MainCommandServices& s, const QString& id, const QString& text, int tag)
{
    CommandRow row;
    row.Id = id;
    row.Text = text;
    row.Tag = tag;
    row.Run = [viewTag = s.ViewTag, tag] {
        if (viewTag)
            viewTag(tag);
    };
    return row;
}

/// A menu entry of the main window.
CommandRow Entry(const char* id, const char* text, std::function<void()> run)
{
    CommandRow row;
    row.Id = QString::fromLatin1(id);
    row.TextId = MainFormKey(row.Id);
    row.Text = QString::fromLatin1(text);
    row.Run = std::move(run);
    return row;
}

} // namespace

QString MainFormKey(const QString& objectName)
{
    return QStringLiteral("MainForm.") + objectName;
}

std::vector<CommandRow> MainCommandRows(const MainCommandServices& s)
{
    std::vector<CommandRow> rows;
    const auto add = [&rows](CommandRow row) { rows.push_back(std::move(row)); };

    // The views: the buttons of the main tool bar and the entries of the View menu are one
    // command each. The results view has no entry there.
    struct View
    {
        const char* id;
        const char* text;
        const char* button;
        const char* caption;
        int tag;
    };
    const View views[] = {
        {"Exercise1", "Exercise", "SpeedButton1", "Exercise", kExerciseViewTag},
        {"Exercisesetup1", "Exercise setup", "RunKonfig", "Setup", kSetupViewTag},
        {"SpeedButton5", "Results", "SpeedButton5", "Results", kResultsViewTag},
        {"Useroverview1", "User overview", "SpeedButton11", "Users", kUserOverviewTag},
    };
    for (const View& v : views) {
        CommandRow row = Switch(s, QString::fromLatin1(v.id), QString::fromLatin1(v.text), v.tag);
        if (row.Id != QLatin1String(v.button))
            row.TextId = MainFormKey(row.Id);
        row.Checkable = true;
        row.Group = kViews;
        row.Button = QString::fromLatin1(v.button);
        row.ButtonText = QString::fromLatin1(v.caption);
        row.Hint = QString::fromLatin1(v.text);
        add(std::move(row));
    }

    // The exercise buttons: the start menu and the ten kinds. Their menu entries open submenus,
    // which are no commands.
    CommandRow overview =
        Switch(s, QStringLiteral("Overview"), QStringLiteral("Start"), kOverviewTag);
    overview.Checkable = true;
    overview.Group = kExercises;
    overview.Button = overview.Id;
    overview.Hint = QStringLiteral("Start menu");
    add(std::move(overview));
    for (ExerciseKind kind : kExerciseKinds) {
        const ExerciseKindUi ui = KindUi(kind);
        CommandRow row = Switch(s, UiName(ui.ButtonName), UiName(ui.ButtonText), KindNumber(kind));
        row.Checkable = true;
        row.Group = kExercises;
        row.Button = row.Id;
        row.Hint = UiName(ui.Name);
        add(std::move(row));
    }
    CommandRow overviewEntry = Switch(s, QStringLiteral("Overview1"),
                                      QStringLiteral("Overview of the exercises"), kOverviewTag);
    overviewEntry.TextId = MainFormKey(overviewEntry.Id);
    add(std::move(overviewEntry));

    // The tutor: the button and the entry are one toggle; the switch reads its tick.
    CommandRow tutor =
        Switch(s, QStringLiteral("Activatetutor1"), QStringLiteral("Use the tutor"), kTutorTag);
    tutor.TextId = MainFormKey(tutor.Id);
    tutor.Key = Qt::Key_F4;
    tutor.Checkable = true;
    tutor.Button = QStringLiteral("SpeedButton10");
    tutor.ButtonText = QStringLiteral("Tutor");
    tutor.Hint = QStringLiteral("Tutor");
    add(std::move(tutor));
    CommandRow tutorSetup =
        Switch(s, QStringLiteral("Tutorsetup1"), QStringLiteral("Tutor setup"), kTutorSetupTag);
    tutorSetup.TextId = MainFormKey(tutorSetup.Id);
    // The tutor's setup is a kind's setup: without a kind the first one is chosen first.
    tutorSetup.Run = [viewTag = s.ViewTag, kindChosen = s.KindChosen] {
        if (!viewTag)
            return;
        if (kindChosen && !kindChosen())
            viewTag(KindNumber(ExerciseKind::ChordIdentification));
        viewTag(kTutorSetupTag);
    };
    tutorSetup.Button = QStringLiteral("SpeedButton9");
    tutorSetup.Hint = QStringLiteral("Tutor setup");
    add(std::move(tutorSetup));

    CommandRow user = Entry("Userinfo1", "&User information...", [run = s.UserInformation] {
        if (run)
            run();
    });
    user.Enabled = [known = s.UserKnown] { return !known || known(); };
    add(std::move(user));
    add(Entry("Exit2", "E&xit", [run = s.Close] {
        if (run)
            run();
    }));
    add(Entry("OmPellivark1", "&About Pellivark...", [run = s.About] {
        if (run)
            run();
    }));

    // Stand-ins: the feature that brings one of these registers its own row in its place.
    struct Pending
    {
        const char* id;
        const char* text;
        const char* message;
    };
    const char* const notYet = "This command is not available yet.";
    const Pending pending[] = {
        {"N2", "&Statistics period...", notYet},
    };
    for (const Pending& p : pending) {
        CommandRow row =
            Entry(p.id, p.text, [say = s.NotAvailable, message = QString::fromLatin1(p.message)] {
                if (say)
                    say(message);
            });
        row.Pending = true;
        add(std::move(row));
    }
    return rows;
}

bool RegisterMainCommands(CommandRegistry& registry, const MainCommandServices& services)
{
    return registry.Register(QStringLiteral("main window"), MainCommandRows(services));
}

void AskUserInformation(AppState& app, DataFiles& data, IPrompts& prompts,
                        const UIStringTable& strings)
{
    if (!app.Users.CurrentUser)
        return;
    TUserRec& rec = app.Users.CurrentUser->Record;
    if (const std::optional<QString> name =
            prompts.AskText(QString(), strings.StrUserNamePrompt, rec.FullName)) {
        rec.FullName = name->left(kFullNameCapacity);
        // The name stays in memory either way: closing writes the record again.
        ReportDataFailure(data, WriteUser(data, rec), data.strings.StrUserFile,
                          data.UserFilePath());
    }
}

} // namespace pv
