// The item editor dialog.
#include "exercises/ui/TChordEdit.h"

#include "music/notation/Guitar.h"
#include "music/notation/NotationTables.h"
#include "music/notation/Pitch.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace pv {

namespace {

/// A colour value with red in its lowest byte.
QColor Bgr(std::uint32_t value)
{
    return QColor(static_cast<int>(value & 255), static_cast<int>((value >> 8) & 255),
                  static_cast<int>((value >> 16) & 255));
}

const QColor kNoteRed(220, 0, 0);

QFont Arial(int pointSize)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(pointSize);
    return font;
}

void Dot(QPainter& p, QPoint centre, int diameter, const QColor& fill)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(fill);
    p.drawEllipse(QRect(centre.x() - diameter / 2, centre.y() - diameter / 2, diameter, diameter));
}

} // namespace

// ---- The picture --------------------------------------------------------------------------

TChordEditPicture::TChordEditPicture(ChordEditModel& model, QWidget* parent)
    : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("PaintBox1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

QSize TChordEditPicture::sizeHint() const
{
    switch (m_model.Setup().View) {
    case EditView::Piano:
        return {kEditPianoWidth, kEditPictureHeight};
    case EditView::Guitar:
        return {640, kEditGuitarHeight};
    case EditView::Staff:
        break;
    }
    return {440, kEditPictureHeight};
}

void TChordEditPicture::resizeEvent(QResizeEvent*)
{
    m_model.SetStaffSize(width(), height());
}

void TChordEditPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    switch (m_model.Setup().View) {
    case EditView::Piano:
        PaintPiano(p);
        break;
    case EditView::Guitar:
        PaintGuitar(p);
        break;
    case EditView::Staff:
        PaintStaff(p);
        break;
    }
}

void TChordEditPicture::PaintStaff(QPainter& p)
{
    m_model.SetStaffSize(width(), height());
    m_painter.Paint(p, m_model.DrawStaff());
}

void TChordEditPicture::PaintPiano(QPainter& p)
{
    p.fillRect(rect(), palette().window());
    const std::vector<EditPianoKey> keys = EditPianoKeys();
    for (const EditPianoKey& key : keys) {
        if (key.Black) {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(QColor(25, 25, 25));
            p.drawRoundedRect(QRectF(key.Rect).adjusted(0.5, 0, -0.5, -0.5), 2, 2);
        } else {
            p.setPen(QPen(QColor(90, 90, 90), 1));
            p.setBrush(QColor(250, 248, 240));
            p.drawRect(key.Rect.adjusted(0, 0, -1, -1));
        }
    }
    p.setRenderHint(QPainter::Antialiasing);
    const auto mark = [&](int note, const QColor& colour, int size) {
        for (const EditPianoKey& key : keys) {
            if (key.Note != note)
                continue;
            const int y = key.Black ? key.Rect.bottom() - 14 : key.Rect.bottom() - 20;
            Dot(p, QPoint(key.Rect.center().x(), y), size, colour);
        }
    };
    for (const TNoteRec& note : m_model.Notes())
        mark(note.Pitch.Note, kNoteRed, 12);
    const TPitch held = m_model.HeldNote();
    if (held.Note != 0)
        mark(held.Note, QColor(255, 200, 0), 16);
    // Middle C's key is marked, to find the octave.
    for (const EditPianoKey& key : keys)
        if (key.Note == 60) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(160, 160, 160));
            p.drawEllipse(QRect(key.Rect.center().x() - 3, key.Rect.bottom() - 6, 6, 3));
        }
}

void TChordEditPicture::PaintGuitar(QPainter& p)
{
    const EditNeck neck = Neck();
    const int h = neck.GuitarHeight;
    p.fillRect(rect(), Bgr(0x144E74));
    // The nut, then each fret as a white, a gold and a black line.
    p.fillRect(QRect(63, 0, 5, h), Bgr(0x55B5DD));
    for (int f = 1; f <= kEditFretLines; ++f) {
        const int x = neck.FretX[static_cast<std::size_t>(f)];
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(x - 1, 0, x - 1, h);
        p.setPen(QPen(Bgr(0x55B5DD), 1));
        p.drawLine(x, 0, x, h);
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(x + 1, 0, x + 1, h);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Bgr(0x55B5DD));
    for (int fret : {3, 5, 7, 9, 15}) {
        const int x = EditFretCentreX(neck, fret);
        p.drawEllipse(QPoint(x, h / 2), 5, 5);
    }
    p.drawEllipse(QPoint(EditFretCentreX(neck, 12), h / 3), 5, 5);
    p.drawEllipse(QPoint(EditFretCentreX(neck, 12), 2 * h / 3), 5, 5);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int s = 1; s <= kGuitarStringCount; ++s) {
        p.setPen(QPen(Bgr(0xB0B0B0), s <= 3 ? 1 : 2));
        p.drawLine(kEditNutX, EditStringY(neck, s), width(), EditStringY(neck, s));
    }
    // The open strings' names at the left edge.
    p.setFont(Arial(9));
    p.setPen(kNoteRed);
    for (int s = 1; s <= kGuitarStringCount; ++s) {
        const TPitch open{static_cast<std::int8_t>(GuitarStrings[static_cast<std::size_t>(s)]), 0};
        p.drawText(QRect(2, EditStringY(neck, s) - 8, 22, 16), Qt::AlignLeft | Qt::AlignVCenter,
                   NoteName(open));
    }
    p.setRenderHint(QPainter::Antialiasing);
    const auto place = [&](const TNoteRec& note) -> std::optional<QPoint> {
        const auto where = GuitarPlaceOf(note.Pitch.Note, note.GuitarString, kEditPlayableFrets);
        if (!where)
            return std::nullopt;
        return QPoint(where->Fret == 0 ? kEditNutX - 14 : EditFretCentreX(neck, where->Fret),
                      EditStringY(neck, where->String));
    };
    for (const TNoteRec& note : m_model.Notes())
        if (const auto at = place(note))
            Dot(p, *at, 14, kNoteRed);
    const TPitch held = m_model.HeldNote();
    if (held.Note != 0) {
        TNoteRec rec;
        rec.Pitch = held;
        if (const auto at = place(rec))
            Dot(p, *at, 18, QColor(255, 200, 0));
    }
}

void TChordEditPicture::Apply(const EditEffect& effect)
{
    if (effect.HideCursor && !m_cursorHidden) {
        setCursor(Qt::BlankCursor);
        m_cursorHidden = true;
    }
    if (effect.ShowCursor && m_cursorHidden) {
        setCursor(m_model.AddTool() ? Qt::CrossCursor : Qt::ForbiddenCursor);
        m_cursorHidden = false;
    }
    if (effect.ToolChanged) {
        setCursor(m_model.AddTool() ? Qt::CrossCursor : Qt::ForbiddenCursor);
        emit ToolChanged();
    }
    if (effect.Repaint) {
        update();
        emit Changed();
    }
}

void TChordEditPicture::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const bool left = event->button() == Qt::LeftButton;
    switch (m_model.Setup().View) {
    case EditView::Staff:
        Apply(m_model.StaffMouseDown(left, at.x(), at.y()));
        break;
    case EditView::Piano:
        Apply(m_model.PianoMouseDown(at.x(), at.y()));
        break;
    case EditView::Guitar:
        Apply(m_model.GuitarMouseDown(Neck(), at.x(), at.y()));
        break;
    }
}

void TChordEditPicture::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const bool left = (event->buttons() & Qt::LeftButton) != 0;
    const bool any = event->buttons() != Qt::NoButton;
    switch (m_model.Setup().View) {
    case EditView::Staff:
        Apply(m_model.StaffMouseMove(left, at.x(), at.y()));
        break;
    case EditView::Piano:
        if (any)
            Apply(m_model.PianoMouseMove(at.x(), at.y()));
        break;
    case EditView::Guitar:
        if (any)
            Apply(m_model.GuitarMouseMove(Neck(), at.x(), at.y()));
        break;
    }
}

void TChordEditPicture::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_model.Setup().View == EditView::Staff)
        Apply(m_model.StaffMouseUp(event->button() == Qt::LeftButton));
    else
        Apply(m_model.InstrumentMouseUp(event->button() == Qt::RightButton));
}

// ---- The dialog ---------------------------------------------------------------------------

TChordEdit::TChordEdit(const IKeyState& keys, NoteSpacing& spacing, TMidiOut* midiOut,
                       QWidget* parent)
    : QDialog(parent), m_model(keys, spacing, midiOut)
{
    setObjectName(QStringLiteral("ChordEditForm"));
    setWindowTitle(QStringLiteral("Item editor"));
    auto* layout = new QVBoxLayout(this);

    auto* nameRow = new QHBoxLayout;
    m_nameLabel = new QLabel(QStringLiteral("Name:"), this);
    m_nameLabel->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(static_cast<int>(kItemNameCapacity));
    nameRow->addWidget(m_nameLabel);
    nameRow->addWidget(Edit1, 1);
    layout->addLayout(nameRow);

    auto* inversionRow = new QHBoxLayout;
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    RadioGroup1 = new QGroupBox(QStringLiteral("Inversion"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto* radios = new QHBoxLayout(RadioGroup1);
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 6; ++i) {
        auto* button = new QRadioButton(RadioGroup1);
        button->setObjectName(QStringLiteral("Inversion%1").arg(i));
        radios->addWidget(button);
        group->addButton(button, i);
        InversionButtons.push_back(button);
    }
    inversionRow->addWidget(ComboBox1);
    inversionRow->addWidget(RadioGroup1, 1);
    layout->addLayout(inversionRow);

    m_structureLabel = new QLabel(QStringLiteral("Structure in C:"), this);
    m_structureLabel->setObjectName(QStringLiteral("Label2"));
    layout->addWidget(m_structureLabel);
    PaintBox1 = new TChordEditPicture(m_model, this);
    layout->addWidget(PaintBox1, 1);

    auto* buttons = new QHBoxLayout;
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("+"));
    SpeedButton1->setToolTip(QStringLiteral("Add notes"));
    SpeedButton1->setCheckable(true);
    SpeedButton2 = new QToolButton(this);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setText(QStringLiteral("-"));
    SpeedButton2->setToolTip(QStringLiteral("Delete notes"));
    SpeedButton2->setCheckable(true);
    auto* tools = new QButtonGroup(this);
    tools->setExclusive(true);
    tools->addButton(SpeedButton1);
    tools->addButton(SpeedButton2);
    SpeedButton3 = new QPushButton(QStringLiteral("Play"), this);
    SpeedButton3->setObjectName(QStringLiteral("SpeedButton3"));
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn3 = new QPushButton(QStringLiteral("&Help"), this);
    // F1 in the dialog opens the topic its Help button opens.
    setProperty("helpContext", kHelpContext);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    for (QWidget* w : std::initializer_list<QWidget*>{SpeedButton1, SpeedButton2, SpeedButton3})
        buttons->addWidget(w);
    buttons->addStretch(1);
    for (QWidget* w : std::initializer_list<QWidget*>{BitBtn1, BitBtn2, BitBtn3})
        buttons->addWidget(w);
    layout->addLayout(buttons);

    connect(SpeedButton1, &QToolButton::clicked, this, [this] {
        m_model.SetAddTool(true);
        PaintBox1->setCursor(Qt::CrossCursor);
    });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] {
        m_model.SetAddTool(false);
        PaintBox1->setCursor(Qt::ForbiddenCursor);
    });
    connect(PaintBox1, &TChordEditPicture::ToolChanged, this, [this] { Mirror(); });
    connect(SpeedButton3, &QPushButton::clicked, this, [this] { m_model.Play(); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn3, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help();
    });
    connect(ComboBox1, &QComboBox::activated, this, [this](int entry) {
        if (m_mirroring)
            return;
        m_model.ChooseChord(entry);
        Mirror();
    });
    connect(group, &QButtonGroup::idClicked, this, [this](int inversion) {
        if (m_mirroring)
            return;
        m_model.ChooseInversion(inversion);
        Mirror();
    });
}

void TChordEdit::Open(const ChordEditModel::Options& options, const std::vector<ItemNote>& notes,
                      const QString& name, const ItemTable& chordItems,
                      const std::array<QString, 6>& inversionNames)
{
    m_model.Open(options, notes, name, chordItems, inversionNames);
    m_mirroring = true;
    ComboBox1->clear();
    for (int item : m_model.ChordList())
        ComboBox1->addItem(chordItems.Name(item));
    m_mirroring = false;
    Edit1->setText(m_model.Name);
    PaintBox1->setMinimumSize(PaintBox1->sizeHint());
    PaintBox1->setCursor(Qt::CrossCursor);
    Mirror();
    adjustSize();
}

void TChordEdit::Mirror()
{
    m_mirroring = true;
    const bool inversions = m_model.InversionMode();
    ComboBox1->setVisible(inversions);
    RadioGroup1->setVisible(inversions);
    // Inversions are chosen, not written: there is nothing to add or delete.
    const bool tools = !inversions && m_model.Setup().View == EditView::Staff;
    SpeedButton1->setVisible(tools);
    SpeedButton2->setVisible(tools);
    SpeedButton1->setChecked(m_model.AddTool());
    SpeedButton2->setChecked(!m_model.AddTool());
    if (inversions) {
        ComboBox1->setCurrentIndex(m_model.ChordEntry());
        const std::vector<QString> names = m_model.InversionNames();
        for (std::size_t i = 0; i < InversionButtons.size(); ++i) {
            QRadioButton* button = InversionButtons[i];
            button->setVisible(i < names.size());
            if (i < names.size())
                button->setText(names[i]);
            button->setChecked(static_cast<int>(i) == m_model.Inversion());
        }
        Edit1->setText(m_model.Name);
    }
    Edit1->setReadOnly(inversions);
    PaintBox1->update();
    m_mirroring = false;
}

QString TChordEdit::NameText() const
{
    return Edit1->text().left(static_cast<int>(kItemNameCapacity));
}

void TChordEdit::MidiInMessage(std::uint32_t message)
{
    if (m_model.MidiInMessage(message).Repaint)
        PaintBox1->update();
}

} // namespace pv
