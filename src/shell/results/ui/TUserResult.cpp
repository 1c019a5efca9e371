// The results view's widgets over its model.
#include "shell/results/ui/TUserResult.h"

#include "shell/results/ui/ScoreCellPainter.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace pv {

/// The grid's rows and columns as the model has them; row 0 of the model is the header.
class ResultsTableModel final : public QAbstractTableModel
{
public:
    explicit ResultsTableModel(ResultsViewModel& model, QObject* parent)
        : QAbstractTableModel(parent), m_model(model)
    {
    }
    void Reset()
    {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_model.RowCount() - 1;
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_model.ColumnCount();
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        const ResultCell cell = m_model.Cell(index.row() + 1, index.column());
        if (cell.IsScore)
            return QStringLiteral("%1/%2").arg(cell.Right).arg(cell.Asked);
        return cell.Text;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return m_model.ColumnTitle(section);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    ResultsViewModel& m_model;
};

namespace {

/// Draws the data cells: white, black text 3 and 2 pixels in, score cells with their bars.
class ResultCellDelegate final : public QStyledItemDelegate
{
public:
    ResultCellDelegate(const ResultsViewModel& model, QObject* parent)
        : QStyledItemDelegate(parent), m_model(model)
    {
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        painter->save();
        painter->fillRect(option.rect, Qt::white);
        painter->setFont(option.font);
        const ResultCell cell = m_model.Cell(index.row() + 1, index.column());
        if (cell.IsScore) {
            DrawScoreCell(*painter, m_model.Kind(), cell.Right, cell.Asked, option.rect,
                          cell.WithText);
        } else {
            painter->setPen(Qt::black);
            painter->drawText(
                option.rect.adjusted(3, 2, -2, 0),
                Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                option.fontMetrics.elidedText(cell.Text, Qt::ElideRight, option.rect.width() - 5));
        }
        painter->restore();
    }

private:
    const ResultsViewModel& m_model;
};

} // namespace

/// The header strip's score bar on light grey.
class ScoreBarBox final : public QWidget
{
public:
    ScoreBarBox(const ResultsViewModel& model, QWidget* parent) : QWidget(parent), m_model(model)
    {
        setObjectName(QStringLiteral("PaintBox1"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(192, 192, 192));
        const ResultsHeader header = m_model.Header();
        const auto clamp16 = [](std::uint32_t v) {
            return static_cast<std::uint16_t>(std::min<std::uint32_t>(v, 65535));
        };
        DrawScoreCell(painter, m_model.Kind(), clamp16(header.Right), clamp16(header.Asked), rect(),
                      true);
    }

private:
    const ResultsViewModel& m_model;
};

namespace {

constexpr int kHeaderHeight = 30;
constexpr int kScoreBarWidth = 170;
constexpr int kUserChoiceWidth = 150;

QToolButton* Toggle(QWidget* parent, const char* name, const QString& text)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

QLabel* HeaderLabel(QWidget* parent, const char* name, const QString& text = {})
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

TUserResult::TUserResult(ResultsViewSources sources, QWidget* parent)
    : QWidget(parent), m_model(std::move(sources))
{
    setObjectName(QStringLiteral("UserResultForm"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_header = new QWidget(this);
    m_header->setObjectName(QStringLiteral("Panel1"));
    m_header->setFixedHeight(kHeaderHeight);
    ComboBox1 = new QComboBox(m_header);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->hide();
    Label4 = HeaderLabel(m_header, "Label4");
    QFont periodFont = Label4->font();
    periodFont.setBold(true);
    periodFont.setItalic(true);
    Label4->setFont(periodFont);
    Label1 = HeaderLabel(m_header, "Label1", QStringLiteral("Exercise time:"));
    Label3 = HeaderLabel(m_header, "Label3");
    Label2 = HeaderLabel(m_header, "Label2", QStringLiteral("Score:"));
    Label5 = HeaderLabel(m_header, "Label5", QStringLiteral("Answer time:"));
    Label6 = HeaderLabel(m_header, "Label6");
    m_paintBox1 = new ScoreBarBox(m_model, m_header);
    for (int i = 0; i < 3; ++i) {
        m_bevels[i] = new QFrame(m_header);
        m_bevels[i]->setObjectName(QStringLiteral("Bevel%1").arg(i + 1));
        m_bevels[i]->setFrameShape(QFrame::VLine);
        m_bevels[i]->setFrameShadow(QFrame::Sunken);
    }
    layout->addWidget(m_header);

    m_toggles = new QWidget(this);
    m_toggles->setObjectName(QStringLiteral("Panel2"));
    auto* toggles = new QHBoxLayout(m_toggles);
    toggles->setContentsMargins(4, 0, 4, 2);
    toggles->setSpacing(2);
    SpeedButton1 = Toggle(m_toggles, "SpeedButton1", QStringLiteral("Time"));
    SpeedButton2 = Toggle(m_toggles, "SpeedButton2", QStringLiteral("Duration"));
    SpeedButton6 = Toggle(m_toggles, "SpeedButton6", QStringLiteral("Answer time"));
    SpeedButton3 = Toggle(m_toggles, "SpeedButton3", QStringLiteral("Level name"));
    SpeedButton4 = Toggle(m_toggles, "SpeedButton4", QStringLiteral("Details"));
    SpeedButton5 = Toggle(m_toggles, "SpeedButton5", QStringLiteral("+"));
    for (QToolButton* button :
         {SpeedButton1, SpeedButton2, SpeedButton6, SpeedButton3, SpeedButton4, SpeedButton5}) {
        toggles->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this] { ToggleClicked(); });
    }
    toggles->addStretch(1);
    layout->addWidget(m_toggles);

    m_table = new ResultsTableModel(m_model, this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DrawGrid1"));
    m_grid->setModel(m_table);
    m_grid->setItemDelegate(new ResultCellDelegate(m_model, m_grid));
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_grid->horizontalHeader()->setStretchLastSection(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setShowGrid(true);
    m_grid->setWordWrap(false);
    layout->addWidget(m_grid, 1);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this] { SectionResized(); });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this,
            [this](int index) { UserChosen(index); });

    SetColumns();
    FormActivate();
}

TUserResult::~TUserResult() = default;

void TUserResult::Fill(int kind, double fromDate)
{
    m_model.Fill(kind, fromDate);
    ApplyToggles();
    FillUsers();
    const ResultsHeader header = m_model.Header();
    Label3->setText(header.ExerciseTime);
    Label6->setText(header.AnswerTime);
    FormActivate();
    m_grid->scrollToBottom();
    update();
}

void TUserResult::SelectLastRow()
{
    const int last = m_table->rowCount() - 1;
    if (last >= 0)
        m_grid->selectRow(last);
}

void TUserResult::SetColumns()
{
    m_model.SetColumns();
    ApplyToggles();
}

void TUserResult::ApplyToggles()
{
    const ResultToggles toggles = m_model.Toggles();
    SpeedButton1->setChecked(toggles.Down.Time);
    SpeedButton2->setChecked(toggles.Down.Duration);
    SpeedButton6->setChecked(toggles.Down.AnswerTime);
    SpeedButton3->setChecked(toggles.Down.LevelName);
    SpeedButton4->setChecked(toggles.Down.Details);
    SpeedButton5->setChecked(toggles.Down.Counts);
    const bool details = m_itemButtonsAllowed && toggles.DetailsVisible;
    SpeedButton4->setVisible(details);
    SpeedButton5->setVisible(details && toggles.CountsVisible);
    SpeedButton5->setEnabled(toggles.CountsEnabled);
    m_table->Reset();
    m_settingWidths = true;
    for (int c = 0; c < m_model.ColumnCount(); ++c)
        m_grid->horizontalHeader()->resizeSection(c, m_model.ColumnWidth(c));
    m_settingWidths = false;
    // A new table keeps the newest result selected.
    SelectLastRow();
}

void TUserResult::ToggleClicked()
{
    m_model.ToggleClick(ResultToggleStates{SpeedButton1->isChecked(), SpeedButton2->isChecked(),
                                           SpeedButton6->isChecked(), SpeedButton3->isChecked(),
                                           SpeedButton4->isChecked(), SpeedButton5->isChecked()});
    ApplyToggles();
}

void TUserResult::SectionResized()
{
    if (m_settingWidths)
        return;
    std::vector<int> widths;
    for (int c = 0; c < m_model.ColumnCount(); ++c)
        widths.push_back(m_grid->horizontalHeader()->sectionSize(c));
    m_model.ColumnsResized(widths);
    // One width for every item column.
    m_settingWidths = true;
    for (int c = 0; c < m_model.ColumnCount(); ++c) {
        if (m_grid->horizontalHeader()->sectionSize(c) != m_model.ColumnWidth(c))
            m_grid->horizontalHeader()->resizeSection(c, m_model.ColumnWidth(c));
    }
    m_settingWidths = false;
}

void TUserResult::SetItemButtonsVisible(bool on)
{
    m_itemButtonsAllowed = on;
    ApplyToggles();
}

void TUserResult::SetUserChooser(bool shown, int panelLeft)
{
    m_userChooserShown = shown;
    m_panelLeft = panelLeft;
    ComboBox1->setVisible(shown);
    FormActivate();
}

void TUserResult::SetPeriodLabel(const QString& text)
{
    m_model.PeriodLabel = text;
    Label4->setText(text);
    FormActivate();
}

void TUserResult::SetExerciseTimeLabel(const QString& text)
{
    Label3->setText(text);
    FormActivate();
}

void TUserResult::FillUsers()
{
    m_fillingUsers = true;
    ComboBox1->clear();
    for (const ResultsUserEntry& entry : m_model.Users())
        ComboBox1->addItem(entry.Name);
    ComboBox1->setCurrentIndex(m_model.ShownUserIndex());
    m_fillingUsers = false;
}

void TUserResult::UserChosen(int index)
{
    if (m_fillingUsers || index < 0 || index == m_model.ShownUserIndex())
        return;
    m_model.ChooseUser(index);
    Fill(0, -1.0);
}

void TUserResult::FormActivate()
{
    const auto width = [](const QLabel* label) {
        return label->fontMetrics().horizontalAdvance(label->text());
    };
    const int top = 0;
    if (m_userChooserShown)
        ComboBox1->setGeometry(4, (kHeaderHeight - 24) / 2, kUserChoiceWidth, 24);
    HeaderStripWidths widths;
    widths.Start = m_userChooserShown ? std::max(m_panelLeft, kUserChoiceWidth + 10) : 6;
    widths.Period = width(Label4);
    widths.ExerciseTimeCaption = width(Label1);
    widths.ExerciseTime = width(Label3);
    widths.ScoreCaption = width(Label2);
    widths.ScoreBar = kScoreBarWidth;
    widths.AnswerTimeCaption = width(Label5);
    const HeaderStripPlaces places = LayOutHeaderStrip(widths);
    const auto place = [top](QWidget* w, int left, int wide) {
        w->setGeometry(left, top, std::max(wide, 1), kHeaderHeight);
    };
    place(Label4, places.Period, widths.Period + 2);
    place(m_bevels[0], places.Bevel1, 2);
    place(Label1, places.ExerciseTimeCaption, widths.ExerciseTimeCaption + 2);
    place(Label3, places.ExerciseTime, widths.ExerciseTime + 2);
    place(m_bevels[1], places.Bevel2, 2);
    place(Label2, places.ScoreCaption, widths.ScoreCaption + 2);
    m_paintBox1->setGeometry(places.ScoreBar, 4, kScoreBarWidth, kHeaderHeight - 8);
    place(m_bevels[2], places.Bevel3, 2);
    place(Label5, places.AnswerTimeCaption, widths.AnswerTimeCaption + 2);
    place(Label6, places.AnswerTime, width(Label6) + 2);
    m_paintBox1->update();
}

void TUserResult::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormActivate();
}

void TUserResult::RegisterTextTargets(const TextSink& sink)
{
    const QString form = objectName();
    for (int i = 0; i < kBaseResultColumns; ++i) {
        sink(form + QStringLiteral(".ResultColumns[%1]").arg(i), [this, i](const QString& text) {
            m_model.SetTitle(i, text);
            m_table->Reset();
            ApplyToggles();
        });
    }
    const std::pair<QToolButton*, const char*> buttons[] = {{SpeedButton1, "SpeedButton1"},
                                                            {SpeedButton2, "SpeedButton2"},
                                                            {SpeedButton3, "SpeedButton3"},
                                                            {SpeedButton4, "SpeedButton4"},
                                                            {SpeedButton6, "SpeedButton6"}};
    for (const auto& [button, name] : buttons) {
        sink(form + QLatin1Char('.') + QString::fromLatin1(name),
             [this, target = button](const QString& text) {
                 target->setText(text);
                 FormActivate();
             });
    }
    const std::pair<QLabel*, const char*> labels[] = {
        {Label1, "Label1"}, {Label2, "Label2"}, {Label5, "Label5"}};
    for (const auto& [label, name] : labels) {
        sink(form + QLatin1Char('.') + QString::fromLatin1(name),
             [this, target = label](const QString& text) {
                 target->setText(text);
                 FormActivate();
             });
    }
}

} // namespace pv
