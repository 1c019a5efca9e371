// The tutor chooser's window: rows laid out as the model places them, scrolling when the
// screen is too short, and the button handlers.
#include "shell/tutor/ui/TChooseTutor.h"

#include "music/data/UserFile.h"
#include "shell/help/HelpContexts.h"
#include "shell/tutor/ui/TTutorlist.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>

namespace pv {

namespace {

constexpr int kRowsTopMargin = 5;
constexpr int kNameWidth = 170;
constexpr int kValueWidth = 28;
constexpr int kScrollBarWidth = 16;

std::size_t Slot(ExerciseKind kind)
{
    return static_cast<std::size_t>(KindNumber(kind) - 1);
}

} // namespace

TChooseTutor::TChooseTutor(AppState& app, DataFiles& dataFiles, TTutorDefine& tutor,
                           const UIStringTable& strings, QWidget* parent)
    : QDialog(parent), m_model(app, dataFiles, tutor, strings), m_app(app), m_data(dataFiles)
{
    setObjectName(QStringLiteral("ChooseTutorForm"));
    setModal(true);
    auto named = [](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };

    Panel1 = new QWidget(this);
    Panel1->setGeometry(0, 0, kWidth, kTopPanelHeight);
    Label8 = named(new QLabel(Panel1), "Label8");
    Label8->setGeometry(19, 8, kWidth - 38, 20);
    QFont title = Label8->font();
    title.setBold(true);
    Label8->setFont(title);
    Label9 = named(new QLabel(Panel1), "Label9");
    Label9->setGeometry(19, 30, kWidth - 38, 18);
    for (QLabel* label : {Label8, Label9})
        label->setTextFormat(Qt::PlainText);

    RowsArea = new QWidget(this);
    Rows = new QWidget(RowsArea);
    for (ExerciseKind kind : kExerciseKinds) {
        RowWidgets& row = m_rows[Slot(kind)];
        row.Panel = new QWidget(Rows);
        row.Name = new QLabel(QStringLiteral("Kind %1").arg(KindNumber(kind)), row.Panel);
        row.Name->setGeometry(0, 8, kNameWidth, 18);
        row.Value = new QLabel(QStringLiteral("1"), row.Panel);
        row.Value->setGeometry(kNameWidth, 8, kValueWidth, 18);
        row.Value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row.TrackBar = new QSlider(Qt::Horizontal, row.Panel);
        row.TrackBar->setRange(1, 1);
        row.TrackBar->setProperty("Tag", KindNumber(kind));
        row.TrackBar->setTickPosition(QSlider::TicksBelow);
        row.TrackBar->setPageStep(1);
        connect(row.TrackBar, &QSlider::valueChanged, this, [this, kind](int position) {
            m_model.SetPosition(kind, position);
            m_rows[Slot(kind)].Value->setText(QString::number(m_model.Row(kind).Position));
        });
    }
    ScrollBar2 = named(new QScrollBar(Qt::Vertical, this), "ScrollBar2");
    ScrollBar2->hide();
    connect(ScrollBar2, &QScrollBar::valueChanged, this,
            [this](int position) { ScrollBar2Scroll(position); });

    ButtonPanel = new QWidget(this);
    BitBtn3 = named(new QPushButton(QStringLiteral("Choose tutor..."), ButtonPanel), "BitBtn3");
    BitBtn4 = named(new QPushButton(QStringLiteral("No tutor"), ButtonPanel), "BitBtn4");
    BitBtn1 = named(new QPushButton(QStringLiteral("OK"), ButtonPanel), "BitBtn1");
    BitBtn2 = named(new QPushButton(QStringLiteral("Cancel"), ButtonPanel), "BitBtn2");
    BitBtn1->setDefault(true);
    BitBtn3->setGeometry(9, 8, 110, 28);
    BitBtn4->setGeometry(125, 8, 90, 28);
    BitBtn1->setGeometry(kWidth - 9 - 2 * 80 - 6, 8, 80, 28);
    BitBtn2->setGeometry(kWidth - 9 - 80, 8, 80, 28);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { reject(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });

    m_list = new TTutorlist(dataFiles.folders, dataFiles.prompts, this);
}

TChooseTutor::~TChooseTutor() = default;

void TChooseTutor::SetHelp(const std::function<void(int context)>& help)
{
    setProperty("helpContext", kTutorHelp);
    m_list->setProperty("helpContext", kTutorHelp);
    m_list->SetHelp([help] {
        if (help)
            help(kTutorHelp);
    });
}

void TChooseTutor::RegisterTextTargets(const TextTargetSink& sink)
{
    // Only the buttons carry texts of the language: the labels show the tutor.
    for (QPushButton* button : {BitBtn1, BitBtn2, BitBtn3, BitBtn4}) {
        QPointer<QPushButton> target(button);
        const QString key = objectName() + QLatin1Char('.') + button->objectName();
        sink(key, [target](const QString& text) {
            if (target)
                target->setText(text);
        });
        sink(key + QStringLiteral("#hint"), [target](const QString& text) {
            if (target)
                target->setToolTip(text);
        });
    }
    for (ExerciseKind kind : kExerciseKinds) {
        QPointer<QLabel> target(m_rows[Slot(kind)].Name);
        sink(objectName() + QStringLiteral(".KindLabel[%1]").arg(KindNumber(kind)),
             [target](const QString& text) {
                 if (target)
                     target->setText(text);
             });
    }
    m_list->RegisterTextTargets(sink);
}

int TChooseTutor::ChooseTutorForCurrentUser(const std::function<int(QDialog&)>& run)
{
    m_app.SetResultUserToCurrent();
    return run ? run(*this) : exec();
}

void TChooseTutor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TChooseTutor::FormShow()
{
    m_model.Show();
    setWindowTitle(m_model.Caption());
    ShowTutor();
}

void TChooseTutor::ShowTutor()
{
    Label8->setText(m_model.TitleText());
    Label9->setText(m_model.AuthorText());

    const QScreen* screen = parentWidget() != nullptr && parentWidget()->screen() != nullptr
                                ? parentWidget()->screen()
                                : QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    const ChooseTutorGeometry g = ChooseTutorLayout(kTopPanelHeight, m_model.RowsHeight(),
                                                    kButtonPanelHeight, available.height());
    const int rowsWidth = kWidth - g.RowsLeft - kScrollBarWidth - 14;
    for (ExerciseKind kind : kExerciseKinds) {
        const ChooseTutorRow& model = m_model.Row(kind);
        RowWidgets& row = m_rows[Slot(kind)];
        row.Panel->setVisible(model.Visible);
        row.Panel->setGeometry(0, model.Top, rowsWidth, kTutorRowHeight);
        row.TrackBar->setGeometry(kNameWidth + kValueWidth + 8, 4,
                                  rowsWidth - kNameWidth - kValueWidth - 8, 26);
        const QSignalBlocker quiet(row.TrackBar);
        row.TrackBar->setRange(1, model.Maximum);
        row.TrackBar->setValue(model.Position);
        row.Value->setText(QString::number(model.Position));
    }
    const int rowsAreaHeight = g.ClientHeight - kTopPanelHeight - kButtonPanelHeight - 10;
    RowsArea->setGeometry(0, kTopPanelHeight, kWidth, rowsAreaHeight);
    Rows->setGeometry(g.RowsLeft, 0, rowsWidth, m_model.RowsHeight());
    ButtonPanel->setGeometry(0, kTopPanelHeight + rowsAreaHeight + 5, kWidth, kButtonPanelHeight);
    {
        const QSignalBlocker quiet(ScrollBar2);
        ScrollBar2->setRange(0, g.ScrollMaximum);
        ScrollBar2->setValue(0);
    }
    ScrollBar2->setGeometry(kWidth - kScrollBarWidth - 6, kTopPanelHeight + kRowsTopMargin,
                            kScrollBarWidth, g.ScrollBarHeight);
    ScrollBar2->setVisible(g.ScrollBarVisible);
    setFixedSize(kWidth, g.ClientHeight);
    move(available.left() + (available.width() - kWidth) / 2, available.top() + g.Top);
}

void TChooseTutor::ScrollBar2Scroll(int position)
{
    Rows->move(Rows->x(), -position);
}

void TChooseTutor::BitBtn1Click()
{
    const Result<int, DataError> result = m_model.Ok();
    if (!result) {
        // The dialog stays open: the choice is not lost, and OK can be tried again.
        ReportDataFailure(m_data, result, m_data.strings.StrUserFile, m_data.UserFilePath());
        return;
    }
    hide();
    done(result.Value());
}

void TChooseTutor::BitBtn3Click()
{
    std::optional<QString> path;
    if (m_picker) {
        path = m_picker();
    } else if (m_list->exec() == QDialog::Accepted) {
        path = m_list->SelectedPath();
    }
    if (path && m_model.ChooseFile(*path))
        ShowTutor();
}

void TChooseTutor::BitBtn4Click()
{
    m_model.ChooseNoTutor();
    ShowTutor();
}

void TChooseTutor::reject()
{
    m_model.Cancel();
    hide();
    done(kNoTutorChosen);
}

QSlider* TChooseTutor::TrackBar(ExerciseKind kind) const
{
    return m_rows[Slot(kind)].TrackBar;
}

QLabel* TChooseTutor::ValueLabel(ExerciseKind kind) const
{
    return m_rows[Slot(kind)].Value;
}

QWidget* TChooseTutor::RowPanel(ExerciseKind kind) const
{
    return m_rows[Slot(kind)].Panel;
}

} // namespace pv
