// The tutor chooser's rules.
#include "shell/tutor/ChooseTutorModel.h"

#include "music/data/UserFile.h"
#include "music/strings/Format.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>

namespace pv {

namespace {

std::size_t Slot(ExerciseKind kind)
{
    return static_cast<std::size_t>(std::clamp(KindNumber(kind), 1, 10) - 1);
}

QString Quoted(const QString& text)
{
    return text.isEmpty() ? QString() : QLatin1Char('"') + text + QLatin1Char('"');
}

QString Unreadable(const QString& path, const Failure<TutorError>& failure)
{
    QString text = QStringLiteral("The tutor cannot be read:\n\n") + QDir::toNativeSeparators(path);
    if (!failure.detail.isEmpty())
        text += QStringLiteral("\n(") + failure.detail + QLatin1Char(')');
    return text;
}

} // namespace

QString TutorWithoutStepsText(const QString& title, const QString& path)
{
    const QString named = title.isEmpty() ? QString() : QLatin1Char(' ') + Quoted(title);
    return QStringLiteral("The tutor%1 has no steps for any exercise, so it cannot be used:\n\n%2")
        .arg(named, QDir::toNativeSeparators(path));
}

std::optional<QString> DefaultTutorName(const QString& programFolder, const QString& language)
{
    QStringList tutors;
    for (const QString& name : GlobCaseInsensitive(programFolder, QStringLiteral("*.tut"))) {
        if (QFileInfo(QDir(programFolder).filePath(name)).isFile())
            tutors.push_back(name);
    }
    if (tutors.isEmpty())
        return std::nullopt;
    const auto existing = [&tutors](const QString& name) -> std::optional<QString> {
        for (const QString& tutor : tutors) {
            if (tutor.compare(name, Qt::CaseInsensitive) == 0)
                return tutor;
        }
        return std::nullopt;
    };
    if (!language.isEmpty()) {
        if (auto own = existing(language + QStringLiteral(".tut")))
            return own;
    }
    // Speakers of these languages read the neighbouring one better than the first at hand.
    const QString lower = language.toLower();
    if (lower == QStringLiteral("norsk")) {
        if (auto danish = existing(QStringLiteral("Dansk.tut")))
            return danish;
    } else if (lower == QStringLiteral("suomi")) {
        if (auto swedish = existing(QStringLiteral("Svenska.tut")))
            return swedish;
    }
    return tutors.front();
}

ChooseTutorGeometry ChooseTutorLayout(int topPanelHeight, int rowsHeight, int buttonPanelHeight,
                                      int screenHeight)
{
    ChooseTutorGeometry g;
    g.ClientHeight = topPanelHeight + rowsHeight + buttonPanelHeight + 10;
    if (screenHeight > g.ClientHeight) {
        g.RowsLeft = 19;
    } else {
        // What the shortened dialog cannot show is what the rows scroll by.
        g.ScrollMaximum = g.ClientHeight - (screenHeight - 2);
        g.ClientHeight = screenHeight - 2;
        const int rowsArea = g.ClientHeight - topPanelHeight - buttonPanelHeight - 10;
        g.ScrollBarHeight = std::max(0, rowsArea - 11);
        g.ScrollBarVisible = true;
        g.RowsLeft = 9;
    }
    g.Top = (screenHeight - g.ClientHeight) / 2;
    return g;
}

ChooseTutorModel::ChooseTutorModel(AppState& app, DataFiles& data, TTutorDefine& tutor,
                                   const UIStringTable& strings)
    : m_app(app), m_data(data), m_tutor(tutor), m_strings(strings)
{
}

void ChooseTutorModel::Show()
{
    const TUserInfo* user = m_app.ResultUser().get();
    const QString fullName = user != nullptr ? user->Record.FullName : QString();
    m_caption = Format(m_strings.StrTutorChooserFormat, {ShownName(fullName)});

    const QString stored = user != nullptr ? user->Record.TutorFileName : QString();
    if (stored.isEmpty()) {
        m_chosenPath.clear();
        const std::optional<QString> name =
            DefaultTutorName(m_data.folders.ProgramFolder, m_app.ProgramSettings.Language);
        if (name) {
            if (LoadChoosable(*name))
                m_chosenPath = *name;
            else
                m_tutor.Clear();
            ResetSteps();
            m_changed = true;
            ShowTutor();
            return;
        }
    }
    LoadUsersTutor(stored);
    for (ExerciseKind kind : kExerciseKinds)
        m_rows[Slot(kind)].Position = user != nullptr ? user->Record.TutorSteps[Slot(kind)] : 1;
    m_changed = false;
    ShowTutor();
}

void ChooseTutorModel::LoadUsersTutor(const QString& stored)
{
    // A tutor that no longer reads is not chosen: the record keeps its name, and the caller
    // learns that no tutor is in force.
    m_chosenPath = stored;
    if (NamesNoTutorFile(stored)) {
        m_tutor.Clear();
    } else if (!m_tutor.LoadFromFile(stored, true)) {
        m_tutor.Clear();
        m_chosenPath.clear();
    }
}

Status<ChooseTutorError> ChooseTutorModel::LoadChoosable(const QString& name)
{
    Status<TutorError> loaded = m_tutor.LoadFromFile(name, true);
    if (loaded)
        return {};
    const QString path = MakeAbsolutePath(m_data.folders, name);
    if (loaded.Code() == TutorError::NoSteps) {
        m_data.prompts.ShowError(TutorWithoutStepsText(loaded.Detail(), path),
                                 m_strings.StrMessageTitle);
        return Fail(ChooseTutorError::NoSteps, path);
    }
    m_data.prompts.ShowError(Unreadable(path, loaded.Err()), m_strings.StrMessageTitle);
    return Fail(ChooseTutorError::Unreadable, loaded.Detail());
}

void ChooseTutorModel::Cancel()
{
    if (!m_changed)
        return;
    const std::shared_ptr<TUserInfo>& user = m_app.ResultUser();
    LoadUsersTutor(user ? user->Record.TutorFileName : QString());
    m_changed = false;
    ShowTutor();
}

void ChooseTutorModel::ShowTutor()
{
    int y = 0;
    for (ExerciseKind kind : kExerciseKinds) {
        ChooseTutorRow& row = m_rows[Slot(kind)];
        const int n = m_tutor.StepCount(kind);
        row.Visible = n > 0;
        row.Maximum = std::max(n, 1);
        // A step stored for a longer tutor is brought within this one's steps.
        row.Position = std::clamp(row.Position, 1, row.Maximum);
        if (row.Visible) {
            row.Top = y;
            y += kTutorRowHeight;
        }
    }
    m_rowsHeight = y;
}

void ChooseTutorModel::ResetSteps()
{
    for (ChooseTutorRow& row : m_rows)
        row.Position = 1;
}

void ChooseTutorModel::SetPosition(ExerciseKind kind, int position)
{
    if (!IsKnownKind(kind))
        return;
    ChooseTutorRow& row = m_rows[Slot(kind)];
    row.Position = std::clamp(position, 1, row.Maximum);
}

QString ChooseTutorModel::StoredName(const QString& path) const
{
    const QFileInfo info(MakeAbsolutePath(m_data.folders, path));
    const QString folder = QDir(info.absolutePath()).canonicalPath();
    if (!folder.isEmpty() && folder == QDir(m_data.folders.ProgramFolder).canonicalPath())
        return info.fileName();
    return path;
}

Status<ChooseTutorError> ChooseTutorModel::ChooseFile(const QString& path)
{
    const QString name = StoredName(path);
    if (name.size() > kTutorFileNameCapacity) {
        // Cut short it would name another file, or none.
        m_data.prompts.ShowError(
            QStringLiteral("The name of the tutor is too long to be remembered:\n\n%1")
                .arg(QDir::toNativeSeparators(path)),
            m_strings.StrMessageTitle);
        return Fail(ChooseTutorError::NameTooLong, path);
    }
    if (Status<ChooseTutorError> loaded = LoadChoosable(name); !loaded)
        return loaded;
    m_chosenPath = name;
    m_changed = true;
    ShowTutor();
    return {};
}

void ChooseTutorModel::ChooseNoTutor()
{
    m_tutor.Clear();
    m_chosenPath = kNoTutorName;
    ResetSteps();
    m_changed = true;
    ShowTutor();
}

Result<int, DataError> ChooseTutorModel::Ok()
{
    const std::shared_ptr<TUserInfo>& user = m_app.ResultUser();
    if (!user)
        return Fail(DataError::NoUser);
    // The record in memory changes only once the file holds it.
    TUserRec rec = user->Record;
    for (ExerciseKind kind : kExerciseKinds)
        rec.TutorSteps[Slot(kind)] = m_rows[Slot(kind)].Position;
    rec.TutorValues.fill(0);
    if (m_changed)
        rec.TutorFileName = m_chosenPath;
    if (Status<DataError> written = WriteUser(m_data, rec); !written)
        return written.Err();
    user->Record = rec;
    // Not found leaves the record as it is: the current user is the one just written.
    if (m_app.Users.CurrentUser)
        ReadUserById(m_data, m_app.Users.CurrentUser->Record);
    return NamesNoTutorFile(m_chosenPath) ? kNoTutorChosen : kTutorChosen;
}

QString ChooseTutorModel::TitleText() const
{
    return Quoted(m_tutor.Header().Title);
}

QString ChooseTutorModel::AuthorText() const
{
    return Quoted(m_tutor.Header().Author);
}

const ChooseTutorRow& ChooseTutorModel::Row(ExerciseKind kind) const
{
    return m_rows[Slot(kind)];
}

} // namespace pv
