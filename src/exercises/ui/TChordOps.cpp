// The item setup page's window.
#include "exercises/ui/TChordOps.h"

#include "exercises/ui/TAkkProgEdit.h"
#include "exercises/ui/TChordEdit.h"
#include "music/notation/Guitar.h"
#include "music/notation/NotationTables.h"
#include "music/notation/Pitch.h"
#include "music/strings/UIStrings.h"
#include "music/ui/MusicFont.h"
#include "music/ui/TRangeBox.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace pv {

namespace {

QColor Rgb(std::uint32_t rgb)
{
    return QColor(static_cast<int>((rgb >> 16) & 255), static_cast<int>((rgb >> 8) & 255),
                  static_cast<int>(rgb & 255));
}

QColor InkOf(CellInk ink)
{
    switch (ink) {
    case CellInk::BuiltIn:
        return Rgb(kBuiltInItemRgb);
    case CellInk::User:
        return Rgb(kUserItemRgb);
    case CellInk::Empty:
        return Rgb(kEmptySlotRgb);
    case CellInk::Title:
        break;
    }
    return Qt::black;
}

/// A heading of the root-movement list as the language loader writes it.
QString Heading(const QString& text)
{
    QString heading = QStringLiteral("-- ") + text.toUpper() + QLatin1Char(' ');
    if (text.size() < 32)
        heading += QString(32 - text.size(), QLatin1Char('-'));
    return heading;
}

/// The list's rows before the language names them.
std::array<QString, kRootMovementRows> DefaultRootRows()
{
    std::array<QString, kRootMovementRows> rows{};
    rows[0] = QStringLiteral("Random");
    rows[2] = Heading(QStringLiteral("Root movement"));
    const char* movements[] = {"Ascending 5th",        "Descending 5th", "Ascending minor 3rd",
                               "Descending minor 3rd", "Ascending 2nd",  "Descending 2nd"};
    for (int i = 0; i < 6; ++i)
        rows[static_cast<std::size_t>(3 + i)] = QString::fromLatin1(movements[i]);
    rows[10] = Heading(QStringLiteral("Same tone"));
    const char* tones[] = {"C", "C#", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"};
    for (int i = 0; i < 12; ++i)
        rows[static_cast<std::size_t>(11 + i)] = QString::fromLatin1(tones[i]);
    rows[24] = Heading(QStringLiteral("Same key"));
    const char* keys[] = {"Gb/eb (6b)", "Db/bb (5b)", "Ab/f (4b)", "Eb/c (3b)",
                          "Bb/g (2b)",  "F/d (1b)",   "C/a",       "G/e (1#)",
                          "D/b (2#)",   "A/f# (3#)",  "E/c# (4#)", "B/g# (5#)"};
    for (int i = 0; i < 12; ++i)
        rows[static_cast<std::size_t>(25 + i)] = QString::fromLatin1(keys[i]);
    return rows;
}

// ---- Miniatures ---------------------------------------------------------------------------

void PaintStaffMiniature(QPainter& p, const QRect& cell, const std::vector<ItemNote>& notes,
                         bool asLine)
{
    p.save();
    p.translate(cell.topLeft());
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(70, 70, 70), 0));
    const int right = cell.width() - 4;
    const int top = kMiniStaffBottom - 4 * kMiniStaffLine;
    for (int i = 0; i < 5; ++i) {
        const int y = kMiniStaffBottom - kMiniStaffLine * i;
        p.drawLine(2, y, right, y);
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::black);
    // A small clef on the bottom line, its curl round the G line.
    p.setFont(MusicSymbolFont(4 * kMiniStaffLine));
    p.drawText(QPoint(3, kMiniStaffBottom), QString::fromUcs4(U"\U0001D11E", 1));
    const QFont signs = MusicSymbolFont(4 * kMiniStaffLine);
    for (const MiniatureHead& head : StaffMiniatureHeads(notes, asLine, cell.width())) {
        const QPoint c = head.Centre;
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::black, 0));
        for (int y = kMiniStaffBottom + kMiniStaffLine; y <= c.y(); y += kMiniStaffLine)
            p.drawLine(c.x() - 5, y, c.x() + 5, y);
        for (int y = top - kMiniStaffLine; y >= c.y(); y -= kMiniStaffLine)
            p.drawLine(c.x() - 5, y, c.x() + 5, y);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.save();
        p.translate(c);
        p.rotate(-20);
        p.drawEllipse(QRectF(-kMiniHeadWidth / 2.0, -2.3, kMiniHeadWidth, 4.6));
        p.restore();
        if (head.Shift != 0) {
            p.setFont(signs);
            p.setPen(Qt::black);
            const char32_t sign = head.Shift == 1    ? U'\u266D'
                                  : head.Shift == -1 ? U'\u266F'
                                  : head.Shift == 2  ? U'\U0001D12B'
                                                     : U'\U0001D12A';
            p.drawText(QRect(c.x() - 16, c.y() - 10, 11, 16), Qt::AlignRight | Qt::AlignVCenter,
                       QString::fromUcs4(&sign, 1));
        }
    }
    p.restore();
}

void PaintGuitarMiniature(QPainter& p, const QRect& cell, const std::vector<ItemNote>& notes)
{
    p.save();
    p.translate(cell.topLeft());
    const int neckRight = kMiniNeckNut + kMiniNeckFret * kMiniNeckFrets;
    const int bottom = kMiniNeckTop + kMiniNeckString * 5;
    p.fillRect(QRect(0, kMiniNeckTop - 3, neckRight, bottom - kMiniNeckTop + 7),
               QColor(116, 78, 20));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(kMiniNeckNut, kMiniNeckTop - 3, kMiniNeckNut, bottom + 3);
    p.setPen(QPen(QColor(221, 181, 85), 1));
    for (int f = 1; f <= kMiniNeckFrets; ++f)
        p.drawLine(kMiniNeckNut + kMiniNeckFret * f, kMiniNeckTop - 3,
                   kMiniNeckNut + kMiniNeckFret * f, bottom + 3);
    p.setPen(QPen(QColor(200, 200, 200), 1));
    for (int s = 0; s < 6; ++s)
        p.drawLine(0, kMiniNeckTop + kMiniNeckString * s, neckRight,
                   kMiniNeckTop + kMiniNeckString * s);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(255, 230, 0));
    for (const MiniatureGuitarDot& dot : GuitarMiniatureDots(notes))
        p.drawEllipse(QRect(dot.At, QSize(5, 5)));
    p.restore();
}

void PaintPianoMiniature(QPainter& p, const QRect& cell, const std::vector<ItemNote>& notes)
{
    p.save();
    p.translate(cell.topLeft() + QPoint(0, 2));
    constexpr int kWhite = 11;
    constexpr int kHeight = 20;
    const int whites = cell.width() / kWhite;
    p.setPen(QPen(QColor(110, 110, 110), 1));
    p.setBrush(QColor(252, 250, 244));
    for (int w = 0; w < whites; ++w)
        p.drawRect(w * kWhite, 0, kWhite - 1, kHeight - 1);
    // F3 first: black keys after F, G, A, C and D.
    p.setBrush(QColor(20, 20, 20));
    for (int w = 0; w + 1 < whites; ++w) {
        const int place = w % 7;
        if (place == 3 || place == 6)
            continue;
        p.drawRect(w * kWhite + 7, 0, 7, 11);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 0, 0));
    for (const QPoint& dot : PianoMiniatureDots(notes))
        if (dot.x() + 6 <= cell.width())
            p.drawEllipse(QRect(dot - QPoint(0, 2), QSize(6, 6)));
    p.restore();
}

void PaintMark(QPainter& p, const QRect& cell, bool selected)
{
    const QRect box(cell.center().x() - 8, cell.center().y() - 8, 16, 16);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    if (selected) {
        p.setPen(QPen(QColor(0, 140, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(box.left() + 3.5, box.top() + 8.5),
                                  QPointF(box.left() + 6.5, box.top() + 12),
                                  QPointF(box.left() + 12.5, box.top() + 4)}));
    }
    p.restore();
}

} // namespace

// ---- The grid's item model and painting ----------------------------------------------------

/// The page's grid as a Qt item model: rows and columns of the layout; the title row of the
/// normal view is the view's header.
class ChordGridItems final : public QAbstractTableModel
{
public:
    ChordGridItems(const ChordOpsModel& page, std::function<PageView()> view)
        : m_page(page), m_view(std::move(view))
    {
    }

    void Reset()
    {
        beginResetModel();
        endResetModel();
    }
    void Repaint() { emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1)); }

    GridLayout Layout() const { return m_page.Layout(m_view()); }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        if (parent.isValid())
            return 0;
        const GridLayout layout = Layout();
        return layout.RowCount - layout.FixedRows;
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(Layout().Columns.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        const GridCell cell = CellOf(index);
        if (cell.What == GridCell::Kind::Name)
            return m_page.ItemName(cell.Item);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        const GridCell cell = m_page.Cell(m_view(), section, 0);
        for (std::size_t i = 0; i < kTitleIds.size(); ++i)
            if (kTitleIds[i] == cell.TitleId)
                return Titles[i];
        return QString();
    }
    GridCell CellOf(const QModelIndex& index) const
    {
        return m_page.Cell(m_view(), index.column(), index.row() + Layout().FixedRows);
    }

    static constexpr std::array<int, 3> kTitleIds = {301, 310, 320};
    std::array<QString, 3> Titles = {QStringLiteral("Ask"), QStringLiteral("Name"),
                                     QStringLiteral("Structure in C/Am")};
    QString EmptyText = QStringLiteral("(empty)");

private:
    const ChordOpsModel& m_page;
    std::function<PageView()> m_view;
};

namespace {

class ChordGridDelegate final : public QStyledItemDelegate
{
public:
    ChordGridDelegate(const ChordOpsModel& page, const ChordGridItems& items,
                      std::function<PageView()> view, QObject* parent)
        : QStyledItemDelegate(parent), m_page(page), m_items(items), m_view(std::move(view))
    {
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const QRect r = option.rect;
        p->fillRect(r, Qt::white);
        const GridCell cell = m_items.CellOf(index);
        if (cell.Item == 0)
            return;
        const QColor ink = InkOf(cell.Ink);
        switch (cell.What) {
        case GridCell::Kind::Number:
            p->setPen(ink);
            p->drawText(r, Qt::AlignCenter, QString::number(cell.Item));
            break;
        case GridCell::Kind::Mark:
            PaintMark(*p, r, cell.Selected);
            break;
        case GridCell::Kind::Name: {
            p->setPen(ink);
            const QString text =
                cell.Ink == CellInk::Empty ? m_items.EmptyText : m_page.ItemName(cell.Item);
            p->drawText(r.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                        option.fontMetrics.elidedText(text, Qt::ElideRight, r.width() - 4));
            break;
        }
        case GridCell::Kind::Structure: {
            if (m_page.NoteCount(cell.Item) == 0)
                break;
            const std::vector<ItemNote> notes = m_page.ItemNotes(cell.Item);
            switch (m_view()) {
            case PageView::Notesheet:
                PaintStaffMiniature(*p, r, notes, m_page.IntervalPage != 0);
                break;
            case PageView::Guitar:
                PaintGuitarMiniature(*p, r, notes);
                break;
            case PageView::Piano:
                PaintPianoMiniature(*p, r, notes);
                break;
            }
            break;
        }
        case GridCell::Kind::Title:
        case GridCell::Kind::Nothing:
            break;
        }
        // The grid's lines.
        p->setPen(QColor(215, 215, 215));
        p->drawLine(r.bottomLeft(), r.bottomRight());
        p->drawLine(r.topRight(), r.bottomRight());
    }

private:
    const ChordOpsModel& m_page;
    const ChordGridItems& m_items;
    std::function<PageView()> m_view;
};

} // namespace

// ---- The page -----------------------------------------------------------------------------

TChordOps::TChordOps(ChordOpsContext context, QWidget* parent)
    : QWidget(parent), m_ctx(std::move(context)), m_model(m_range), m_rootRows(DefaultRootRows()),
      m_inversionRows({QStringLiteral("All chords in root position"),
                       QStringLiteral("Last chord in root position"),
                       QStringLiteral("Random inversions")})
{
    setObjectName(QStringLiteral("ChordOpsForm"));
    m_items = std::make_unique<ChordGridItems>(m_model, [this] { return View(); });
    BuildControls();
}

TChordOps::~TChordOps() = default;

PageView TChordOps::View() const
{
    return PageViewOfCode(m_ctx.AnswerView ? m_ctx.AnswerView() : 8);
}

void TChordOps::BuildControls()
{
    auto* page = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    page->addLayout(top, 1);

    DrawGrid1 = new QTableView(this);
    DrawGrid1->setObjectName(QStringLiteral("DrawGrid1"));
    DrawGrid1->setModel(m_items.get());
    DrawGrid1->setItemDelegate(new ChordGridDelegate(
        m_model, *m_items, [this] { return View(); }, DrawGrid1));
    DrawGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    DrawGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DrawGrid1->setShowGrid(false);
    DrawGrid1->setFocusPolicy(Qt::StrongFocus);
    DrawGrid1->setMouseTracking(true);
    DrawGrid1->verticalHeader()->hide();
    DrawGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DrawGrid1->horizontalHeader()->setHighlightSections(false);
    DrawGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DrawGrid1->viewport()->installEventFilter(this);
    top->addWidget(DrawGrid1);

    Panel4 = new QWidget(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFixedWidth(190);
    auto* options = new QVBoxLayout(Panel4);
    options->setContentsMargins(0, 0, 0, 0);
    const auto box = [](const char* name, const char* text, QWidget* parent) {
        auto* check = new QCheckBox(QString::fromLatin1(text), parent);
        check->setObjectName(QString::fromLatin1(name));
        return check;
    };

    auto* styles = new QGroupBox(QStringLiteral("Play the notes"), Panel4);
    styles->setObjectName(QStringLiteral("GroupBox1"));
    auto* styleLayout = new QVBoxLayout(styles);
    Akk_SimulCheck = box("Akk_SimulCheck", "Together", styles);
    Akk_OpCheck = box("Akk_OpCheck", "Upwards", styles);
    Akk_NedCheck = box("Akk_NedCheck", "Downwards", styles);
    for (QCheckBox* c : {Akk_OpCheck, Akk_NedCheck, Akk_SimulCheck})
        styleLayout->addWidget(c);
    options->addWidget(styles);

    auto* group = new QGroupBox(QStringLiteral("Options"), Panel4);
    group->setObjectName(QStringLiteral("GroupBox2"));
    auto* groupLayout = new QVBoxLayout(group);
    CheckBox1 = box("CheckBox1", "Commontone", group);
    CheckBox2 = box("CheckBox2", "Show key signature", group);
    CheckBox3 = box("CheckBox3", "Answer in C", group);
    CheckBox6 = box("CheckBox6", "Play tone on click", group);
    CheckBox7 = box("CheckBox7", "Show first tone", group);
    CheckBox8 = box("CheckBox8", "Play tonic", group);
    RadioButton5 = new QRadioButton(QStringLiteral("Base tones"), group);
    RadioButton5->setObjectName(QStringLiteral("RadioButton5"));
    RadioButton6 = new QRadioButton(QStringLiteral("Cadence"), group);
    RadioButton6->setObjectName(QStringLiteral("RadioButton6"));
    CheckBox9 = box("CheckBox9", "AutoAnswer", group);
    CheckBox15 = box("CheckBox15", "Diatonic roots", group);
    for (QWidget* w : std::initializer_list<QWidget*>{CheckBox1, CheckBox2, CheckBox3, CheckBox6,
                                                      CheckBox7, CheckBox8})
        groupLayout->addWidget(w);
    auto* radios = new QVBoxLayout;
    radios->setContentsMargins(18, 0, 0, 0);
    radios->addWidget(RadioButton5);
    radios->addWidget(RadioButton6);
    groupLayout->addLayout(radios);
    groupLayout->addWidget(CheckBox9);
    groupLayout->addWidget(CheckBox15);
    options->addWidget(group);

    auto* label1 = new QLabel(QStringLiteral("Roots"), Panel4);
    label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1 = new QComboBox(Panel4);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setMaxVisibleItems(kRootMovementRows);
    options->addWidget(label1);
    options->addWidget(ComboBox1);
    Label3 = new QLabel(QStringLiteral("Inversion"), Panel4);
    Label3->setObjectName(QStringLiteral("Label3"));
    ComboBox2 = new QComboBox(Panel4);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    options->addWidget(Label3);
    options->addWidget(ComboBox2);
    SetRowTexts();

    // The answer-input lock: made, and never shown.
    Panel5 = new QWidget(Panel4);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    auto* lock = new QVBoxLayout(Panel5);
    auto* label4 = new QLabel(QStringLiteral("Answer by"), Panel5);
    label4->setObjectName(QStringLiteral("Label4"));
    CheckBox5 = box("CheckBox5", "Lock", Panel5);
    CheckBox10 = box("CheckBox10", "by Name", Panel5);
    CheckBox11 = box("CheckBox11", "on Piano", Panel5);
    CheckBox13 = box("CheckBox13", "on Guitar", Panel5);
    CheckBox12 = box("CheckBox12", "on Notesheet", Panel5);
    for (QWidget* w : std::initializer_list<QWidget*>{label4, CheckBox5, CheckBox10, CheckBox11,
                                                      CheckBox13, CheckBox12})
        lock->addWidget(w);
    options->addWidget(Panel5);
    Panel5->hide();
    options->addStretch(1);
    top->addWidget(Panel4);
    top->addStretch(1);

    auto* bottom = new QHBoxLayout;
    auto* label2 = new QLabel(QStringLiteral("Upper and lower limit:"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    PaintBox1 = new TRangeBox(m_range, this);
    auto* range = new QVBoxLayout;
    range->addWidget(label2);
    range->addWidget(PaintBox1);
    bottom->addLayout(range);
    bottom->addStretch(1);
    const auto button = [this](const char* name, const QString& text, const char* hint) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(text);
        b->setToolTip(QString::fromLatin1(hint));
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        return b;
    };
    SpeedButton1 = button("SpeedButton1", QStringLiteral("Compact view"), "Compact view");
    SpeedButton1->setCheckable(true);
    SpeedButton3 = button("SpeedButton3", QStringLiteral("Select all"), "Select all");
    SpeedButton2 = button("SpeedButton2", QStringLiteral("Deselect all"), "Deselect all");
    SpeedButton4 = button("SpeedButton4", QStringLiteral("+"), "Add new");
    SpeedButton5 =
        button("SpeedButton5", QStringLiteral("Restore"), "Restore to previous settings");
    auto* buttons = new QVBoxLayout;
    auto* buttonRow = new QHBoxLayout;
    for (QToolButton* b : {SpeedButton1, SpeedButton3, SpeedButton2, SpeedButton4, SpeedButton5})
        buttonRow->addWidget(b);
    buttons->addStretch(1);
    buttons->addLayout(buttonRow);
    bottom->addLayout(buttons);
    page->addLayout(bottom);

    // A box's state goes to the page model at once; the rules that depend on it run there.
    const std::pair<QAbstractButton*, PageControl ChordOpsControls::*> boxes[] = {
        {Akk_SimulCheck, &ChordOpsControls::Akk_SimulCheck},
        {Akk_OpCheck, &ChordOpsControls::Akk_OpCheck},
        {Akk_NedCheck, &ChordOpsControls::Akk_NedCheck},
        {CheckBox1, &ChordOpsControls::CheckBox1},
        {CheckBox2, &ChordOpsControls::CheckBox2},
        {CheckBox3, &ChordOpsControls::CheckBox3},
        {CheckBox5, &ChordOpsControls::CheckBox5},
        {CheckBox6, &ChordOpsControls::CheckBox6},
        {CheckBox7, &ChordOpsControls::CheckBox7},
        {CheckBox8, &ChordOpsControls::CheckBox8},
        {CheckBox9, &ChordOpsControls::CheckBox9},
        {CheckBox10, &ChordOpsControls::CheckBox10},
        {CheckBox11, &ChordOpsControls::CheckBox11},
        {CheckBox12, &ChordOpsControls::CheckBox12},
        {CheckBox13, &ChordOpsControls::CheckBox13},
        {CheckBox15, &ChordOpsControls::CheckBox15},
        {RadioButton5, &ChordOpsControls::RadioButton5},
        {RadioButton6, &ChordOpsControls::RadioButton6},
    };
    for (const auto& [widget, member] : boxes) {
        connect(widget, &QAbstractButton::toggled, this, [this, member = member](bool on) {
            if (m_mirroring)
                return;
            (m_model.Controls.*member).Checked = on;
            // The radio pair is one choice.
            if (member == &ChordOpsControls::RadioButton5)
                m_model.Controls.RadioButton6.Checked = !on;
            if (member == &ChordOpsControls::RadioButton6)
                m_model.Controls.RadioButton5.Checked = !on;
            if (member == &ChordOpsControls::CheckBox8)
                m_model.CheckBox8Click();
            if (member == &ChordOpsControls::CheckBox5)
                m_model.CheckBox5Click();
            Mirror();
        });
    }
    connect(ComboBox1, &QComboBox::activated, this, [this](int row) {
        if (m_mirroring)
            return;
        if (m_model.ComboBox1Change(row))
            PaintBox1->update();
        Mirror();
    });
    connect(ComboBox2, &QComboBox::activated, this, [this](int row) {
        if (!m_mirroring)
            m_model.Controls.ComboBox2.Index = row;
    });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] {
        m_model.SpeedButton1Click();
        FormResize();
    });
    connect(SpeedButton3, &QToolButton::clicked, this, [this] {
        m_model.SelectAll();
        RefreshGrid();
    });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] {
        m_model.DeselectAll();
        RefreshGrid();
    });
    connect(SpeedButton4, &QToolButton::clicked, this, [this] {
        const std::optional<int> item = m_model.AddNew();
        if (!item)
            return;
        const GridLayout layout = m_items->Layout();
        const int row = m_model.Compact ? (*item - 1) / layout.ItemsPerRow : *item - 1;
        DrawGrid1->scrollTo(m_items->index(row, 0));
        if (m_model.Kind() == ExerciseKind::ChordProgressions)
            EditProgression(*item);
        else
            EditItem(*item);
    });
    connect(SpeedButton5, &QToolButton::clicked, this, [this] {
        m_model.RestorePrevious(m_ctx.Setup.CurrentSetup, m_ctx.Setup.SavedSetup, m_ctx.Items);
        Mirror();
        FormResize();
        PaintBox1->update();
    });
}

void TChordOps::SetRowTexts()
{
    m_mirroring = true;
    const int root = ComboBox1->currentIndex();
    ComboBox1->clear();
    for (const QString& row : m_rootRows)
        ComboBox1->addItem(row);
    ComboBox1->setCurrentIndex(std::max(0, root));
    const int inversion = ComboBox2->currentIndex();
    ComboBox2->clear();
    for (const QString& row : m_inversionRows)
        ComboBox2->addItem(row);
    ComboBox2->setCurrentIndex(std::max(0, inversion));
    m_mirroring = false;
}

void TChordOps::RegisterTexts(const TextSink& sink)
{
    const QString form = objectName() + QLatin1Char('.');
    QPointer<TChordOps> self(this);
    const auto caption = [&](const QString& name, QWidget* widget) {
        QPointer<QWidget> target(widget);
        sink(form + name, [target](const QString& text) {
            if (auto* button = qobject_cast<QAbstractButton*>(target.data()))
                button->setText(text);
            else if (auto* label = qobject_cast<QLabel*>(target.data()))
                label->setText(text);
            else if (auto* groupBox = qobject_cast<QGroupBox*>(target.data()))
                groupBox->setTitle(text);
        });
    };
    // The play styles' language targets keep the names the language table gives them.
    caption(QStringLiteral("CheckBox16"), Akk_OpCheck);
    caption(QStringLiteral("CheckBox17"), Akk_NedCheck);
    caption(QStringLiteral("CheckBox18"), Akk_SimulCheck);
    for (QWidget* widget : std::initializer_list<QWidget*>{
             CheckBox1, CheckBox2, CheckBox3, CheckBox5, CheckBox6, CheckBox7, CheckBox8, CheckBox9,
             CheckBox10, CheckBox11, CheckBox12, CheckBox13, RadioButton5, RadioButton6,
             SpeedButton1, Label3})
        caption(widget->objectName(), widget);
    for (const char* name : {"GroupBox1", "GroupBox2", "Label1", "Label2", "Label4"})
        if (QWidget* widget = findChild<QWidget*>(QString::fromLatin1(name)))
            caption(QString::fromLatin1(name), widget);
    QPointer<QToolButton> restore(SpeedButton5);
    sink(form + QStringLiteral("SpeedButton5#hint"), [restore](const QString& text) {
        if (restore)
            restore->setToolTip(text);
    });
    sink(form + QStringLiteral("CheckBox15"), [self](const QString& text) {
        if (self) {
            self->m_diatonicCaption = text;
            self->Mirror();
        }
    });
    sink(form + QStringLiteral("CheckBox15Progressions"), [self](const QString& text) {
        if (self) {
            self->m_bassRootCaption = text;
            self->Mirror();
        }
    });
    for (int i = 0; i < kRootMovementRows; ++i)
        sink(form + QStringLiteral("ComboBox1[%1]").arg(i), [self, i](const QString& text) {
            if (self) {
                self->m_rootRows[static_cast<std::size_t>(i)] = text;
                self->SetRowTexts();
            }
        });
    for (int i = 0; i < 3; ++i)
        sink(form + QStringLiteral("ComboBox2[%1]").arg(i), [self, i](const QString& text) {
            if (self) {
                self->m_inversionRows[static_cast<std::size_t>(i)] = text;
                self->SetRowTexts();
            }
        });
    for (int i = 0; i < 3; ++i)
        sink(form + QStringLiteral("Titles[%1]").arg(i), [self, i](const QString& text) {
            if (self) {
                self->m_items->Titles[static_cast<std::size_t>(i)] = text;
                self->m_items->Reset();
                self->FormResize();
            }
        });
}

void TChordOps::LoadChordOps(ExerciseKind kind)
{
    m_model.EditRight = !m_ctx.EditRight || m_ctx.EditRight();
    m_model.LoadChordOps(kind, m_ctx.Setup.CurrentSetup, m_ctx.Items);
    Mirror();
    FormResize();
    PaintBox1->update();
}

void TChordOps::StoreChordOps()
{
    m_model.StoreChordOps(m_ctx.Setup.CurrentSetup, m_ctx.Items);
}

void TChordOps::Mirror()
{
    m_mirroring = true;
    const ChordOpsControls& c = m_model.Controls;
    const std::pair<QAbstractButton*, const PageControl*> boxes[] = {
        {Akk_SimulCheck, &c.Akk_SimulCheck}, {Akk_OpCheck, &c.Akk_OpCheck},
        {Akk_NedCheck, &c.Akk_NedCheck},     {CheckBox1, &c.CheckBox1},
        {CheckBox2, &c.CheckBox2},           {CheckBox3, &c.CheckBox3},
        {CheckBox5, &c.CheckBox5},           {CheckBox6, &c.CheckBox6},
        {CheckBox7, &c.CheckBox7},           {CheckBox8, &c.CheckBox8},
        {CheckBox9, &c.CheckBox9},           {CheckBox10, &c.CheckBox10},
        {CheckBox11, &c.CheckBox11},         {CheckBox12, &c.CheckBox12},
        {CheckBox13, &c.CheckBox13},         {CheckBox15, &c.CheckBox15},
        {RadioButton5, &c.RadioButton5},     {RadioButton6, &c.RadioButton6},
    };
    for (const auto& [widget, control] : boxes) {
        widget->setChecked(control->Checked);
        widget->setEnabled(control->Enabled);
        widget->setVisible(control->Visible);
    }
    ComboBox1->setCurrentIndex(c.ComboBox1.Index);
    ComboBox1->setEnabled(c.ComboBox1.Enabled);
    ComboBox2->setCurrentIndex(c.ComboBox2.Index);
    ComboBox2->setVisible(c.ComboBox2.Visible);
    Label3->setVisible(c.ComboBox2.Visible);
    CheckBox15->setText(c.CheckBox15Caption == ExtraOptionCaption::BassRoot ? m_bassRootCaption
                                                                            : m_diatonicCaption);
    Panel5->setVisible(c.Panel5Visible);
    SpeedButton1->setChecked(m_model.Compact);
    SpeedButton4->setEnabled(m_model.EditRight);
    m_mirroring = false;
    RefreshGrid();
}

void TChordOps::FormResize()
{
    m_model.FormResize(width());
    PaintBox1->SetView(RangeViewOfCode(static_cast<int>(View())));
    m_items->Reset();
    const GridLayout layout = m_items->Layout();
    QHeaderView* header = DrawGrid1->horizontalHeader();
    header->setVisible(layout.FixedRows > 0);
    int width = 0;
    for (std::size_t i = 0; i < layout.Columns.size(); ++i) {
        header->resizeSection(static_cast<int>(i), layout.Columns[i].Width);
        width += layout.Columns[i].Width;
    }
    DrawGrid1->verticalHeader()->setDefaultSectionSize(layout.RowHeight);
    // Wide enough for every column beside the scroll bar: the grid never scrolls sideways.
    const int outer =
        width + DrawGrid1->verticalScrollBar()->sizeHint().width() + 2 * DrawGrid1->frameWidth();
    DrawGrid1->setFixedWidth(outer);
    DrawGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TChordOps::RefreshGrid()
{
    m_items->Repaint();
    DrawGrid1->viewport()->update();
}

void TChordOps::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_model.Kind())
        FormResize();
}

void TChordOps::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The answer view may have changed while the page was away.
    if (m_model.Kind())
        FormResize();
}

bool TChordOps::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != DrawGrid1->viewport())
        return QWidget::eventFilter(watched, event);
    const auto cellAt = [this](QMouseEvent* mouse, int& column, int& row) {
        const QModelIndex index = DrawGrid1->indexAt(mouse->position().toPoint());
        if (!index.isValid())
            return false;
        column = index.column();
        row = index.row() + m_items->Layout().FixedRows;
        return true;
    };
    int column = 0;
    int row = 0;
    switch (event->type()) {
    case QEvent::MouseMove:
        // The grid takes the keys as soon as the mouse is over it.
        if (!DrawGrid1->hasFocus())
            DrawGrid1->setFocus();
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (cellAt(mouse, column, row))
            m_model.GridMouseDown(column, row);
        else
            m_model.SelectedItem = 0;
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (cellAt(mouse, column, row))
            Release(m_model.GridMouseUp(mouse->button() == Qt::RightButton, column, row));
        return true;
    }
    default:
        return false;
    }
}

void TChordOps::Release(const GridRelease& release)
{
    switch (release.What) {
    case GridRelease::Action::Play:
        if (m_ctx.MidiOut != nullptr)
            m_model.PlayItem(release.Item, View() == PageView::Guitar,
                             m_ctx.Items.ChordIdentification, *m_ctx.MidiOut);
        break;
    case GridRelease::Action::Toggled:
        RefreshGrid();
        break;
    case GridRelease::Action::EditItem:
        EditItem(release.Item);
        break;
    case GridRelease::Action::EditProgression:
        EditProgression(release.Item);
        break;
    case GridRelease::Action::None:
        break;
    }
}

int TChordOps::RunEditor(QDialog& dialog)
{
    if (m_ctx.EditorOpen)
        m_ctx.EditorOpen(true);
    const int result = m_ctx.RunDialog ? m_ctx.RunDialog(dialog) : dialog.exec();
    if (m_ctx.EditorOpen)
        m_ctx.EditorOpen(false);
    return result;
}

void TChordOps::EditItem(int item)
{
    const std::optional<ExerciseKind> kind = m_model.Kind();
    if (!kind)
        return;
    if (!m_chordEdit) {
        m_chordEdit = new TChordEdit(m_ctx.Keys, m_ctx.Spacing, m_ctx.MidiOut, this);
        if (m_ctx.ShowHelp)
            m_chordEdit->SetHelp([this] { m_ctx.ShowHelp(TChordEdit::kHelpContext); });
    }
    ChordEditModel::Options options;
    options.Kind = *kind;
    options.PlayMode = m_model.ItemPlayMode();
    options.View = EditViewOfCode(m_ctx.AnswerView ? m_ctx.AnswerView() : 8);
    options.InversionMode = *kind == ExerciseKind::ChordInversions;
    std::array<QString, 6> inversionNames{};
    for (std::size_t i = 0; i < inversionNames.size(); ++i)
        inversionNames[i] = m_ctx.Strings.StrInversionNames[i];
    m_chordEdit->Open(options, m_model.ItemNotes(item), m_model.PageItems.Name(item),
                      m_ctx.Items.ChordIdentification, inversionNames);
    m_chordEditOpen = true;
    const int result = RunEditor(*m_chordEdit);
    m_chordEditOpen = false;
    if (result == QDialog::Accepted) {
        m_model.TakeEditedItem(item, m_chordEdit->NameText(), m_chordEdit->Model().ItemNotes());
        RefreshGrid();
    }
}

void TChordOps::EditProgression(int item)
{
    const std::vector<ProgressionChord> chords = m_model.ItemChords(item);
    // A longer progression (from a tutor's or an older table) is kept whole, never cut.
    if (!ProgressionEditable(static_cast<int>(chords.size()))) {
        m_ctx.Prompts.ShowInfo(
            QStringLiteral("This progression has more than five chords; it is kept as it is "
                           "and cannot be changed here."),
            m_ctx.Strings.StrProgramTitle);
        return;
    }
    if (!m_progEdit)
        m_progEdit =
            new TAkkProgEdit(m_ctx.Strings, m_ctx.Items.ChordIdentification, m_ctx.MidiOut, this);
    m_progEdit->SetGuitarSound([this] { return View() == PageView::Guitar; });
    m_progEdit->Open(chords);
    if (RunEditor(*m_progEdit) == QDialog::Accepted) {
        m_model.TakeEditedProgression(item, m_progEdit->Model().Result());
        RefreshGrid();
    }
}

TChordEdit* TChordOps::ChordEditor() const
{
    return m_chordEdit.data();
}

TAkkProgEdit* TChordOps::ProgressionEditor() const
{
    return m_progEdit.data();
}

void TChordOps::ItemEditorMidiIn(std::uint32_t message)
{
    if (m_chordEditOpen && m_chordEdit)
        m_chordEdit->MidiInMessage(message);
}

} // namespace pv
