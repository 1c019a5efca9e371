// The melody options page's window.
#include "exercises/ui/TMelodyOps.h"

#include "music/ui/StaffPainter.h"
#include "music/ui/TRangeBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>

namespace pv {

namespace {

std::size_t At(int i)
{
    return static_cast<std::size_t>(i);
}

constexpr int kKeyButtonWidth = 46;
constexpr int kKeyButtonHeight = 60;
/// The key pictures are drawn at the staff's size and shown smaller, to fit their buttons.
constexpr int kKeyIconWidth = 40;
constexpr int kKeyIconHeight = 36;

QPixmap KeyPicture(int keySignature)
{
    const StaffDisplayList list = MelodyOpsKeyPicture(keySignature);
    StaffPainter painter;
    painter.SetBackground(Qt::white);
    const QImage image = painter.Render(list, kMelodyOpsKeyPictureSize);
    // Shown whole: a crop cut the signs above the top line (the sharp of G, the flats' stems).
    return QPixmap::fromImage(
        image.scaled(kKeyIconWidth, kKeyIconHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

const std::array<const char*, kMelodyOpsSteps> kStepNames = {"Second", "Third",   "Fourth", "Fifth",
                                                             "Sixth",  "Seventh", "Octave"};

} // namespace

TMelodyOps::TMelodyOps(MelodyOpsContext context, QWidget* parent)
    : QWidget(parent), m_ctx(std::move(context))
{
    setObjectName(QStringLiteral("MelodyOpsForm"));
    BuildControls();
    m_model.LoadSetup(m_ctx.Setup.CurrentSetup, ExerciseKind::MelodyDictation, m_ctx.Items);
    Mirror();
}

void TMelodyOps::BuildControls()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedSize(720, 390);
    const auto label = [this](const char* name, const QString& text, int x, int y) {
        auto* l = new QLabel(text, Panel1);
        l->setObjectName(QString::fromLatin1(name));
        l->move(x, y);
        return l;
    };
    const auto box = [this](const char* name, const QString& text, int x, int y) {
        auto* b = new QCheckBox(text, Panel1);
        b->setObjectName(QString::fromLatin1(name));
        b->move(x, y);
        return b;
    };

    label("Label1", QStringLiteral("Number of notes:"), 13, 12);
    SpinEdit1 = new QSpinBox(Panel1);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(kMelodyOpsMinTones, kMelodyOpsMaxTones);
    SpinEdit1->setSingleStep(2);
    // Stepped, never typed: a typed count could leave the steps of two.
    SpinEdit1->findChild<QLineEdit*>()->setReadOnly(true);
    SpinEdit1->setGeometry(150, 8, 60, 26);
    label("Label3", QStringLiteral("Scale:"), 13, 42);
    ComboBox3 = new QComboBox(Panel1);
    ComboBox3->setObjectName(QStringLiteral("ComboBox3"));
    ComboBox3->setGeometry(150, 38, 200, 26);

    GroupBox2 = new QGroupBox(QStringLiteral("Note range:"), Panel1);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    PaintBox1 = new TRangeBox(m_range, GroupBox2);

    label("Label2", QStringLiteral("Largest leap:"), 370, 12);
    ComboBox1 = new QComboBox(Panel1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(480, 8, 120, 26);
    label("Label4", QStringLiteral("Ambitus:"), 370, 42);
    ComboBox2 = new QComboBox(Panel1);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setGeometry(480, 38, 120, 26);
    for (const char* name : kStepNames) {
        ComboBox1->addItem(QString::fromLatin1(name));
        ComboBox2->addItem(QString::fromLatin1(name));
    }

    CheckBox8 = box("CheckBox8", QStringLiteral("Rhythms"), 370, 76);
    CheckBox4 = box("CheckBox4", QStringLiteral("Auto answer"), 370, 100);
    CheckBox6 = box("CheckBox6", QStringLiteral("Show first tone"), 370, 124);
    CheckBox3 = box("CheckBox3", QStringLiteral("Play tone on click"), 370, 148);
    CheckBox1 = box("CheckBox1", QStringLiteral("Show key signature"), 370, 172);
    CheckBox2 = box("CheckBox2", QStringLiteral("Play keynote/tonic"), 370, 196);
    RadioButton1 = new QRadioButton(QStringLiteral("Base tones"), Panel1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->move(392, 220);
    RadioButton5 = new QRadioButton(QStringLiteral("Cadence"), Panel1);
    RadioButton5->setObjectName(QStringLiteral("RadioButton5"));
    RadioButton5->move(520, 220);

    // Flats in two rows on the left, C/a between, sharps in two rows on the right.
    Label5 = label("Label5", QStringLiteral("Keys"), 13, 240);
    constexpr int kKeysTop = 262;
    for (int k = 0; k < kMelodyOpsKeys; ++k) {
        auto* button = new QToolButton(Panel1);
        button->setObjectName(QStringLiteral("SpeedButton%1").arg(kMelodyOpsKeyButtons[At(k)]));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(kKeyIconWidth, kKeyIconHeight));
        button->setText(QString::fromLatin1(kMelodyOpsKeyCaptions[At(k)]));
        const int column = k < 6 ? k % 3 : (k == 6 ? 3 : 4 + (k - 7) % 3);
        const int row = k < 6 ? k / 3 : (k == 6 ? 0 : (k - 7) / 3);
        button->setGeometry(
            13 + column * (kKeyButtonWidth + 2) + (k >= 6 ? 10 : 0) + (k >= 7 ? 10 : 0),
            kKeysTop + row * (kKeyButtonHeight + 2), kKeyButtonWidth, kKeyButtonHeight);
        KeyButtons[At(k)] = button;
        connect(button, &QToolButton::clicked, this, [this, k] {
            if (m_mirroring)
                return;
            m_model.ClickKey(k);
            Mirror();
        });
    }

    SpeedButton13 = new QToolButton(Panel1);
    SpeedButton13->setObjectName(QStringLiteral("SpeedButton13"));
    SpeedButton13->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    SpeedButton13->setToolTip(QStringLiteral("Restore to previous settings"));
    SpeedButton13->setAutoRaise(true);
    SpeedButton13->setGeometry(680, 6, 30, 30);

    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this](int value) {
        if (m_mirroring)
            return;
        m_model.SetToneCount(value);
        Mirror();
    });
    connect(ComboBox3, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_mirroring)
            return;
        m_model.ChooseScale(index, m_ctx.Setup.CurrentSetup);
        Mirror();
    });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_mirroring)
            m_model.Leap = index;
    });
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_mirroring)
            m_model.Ambitus = index;
    });
    const auto follow = [this](QCheckBox* check, bool MelodyOpsModel::*field) {
        connect(check, &QCheckBox::toggled, this, [this, field](bool on) {
            if (!m_mirroring)
                m_model.*field = on;
        });
    };
    follow(CheckBox8, &MelodyOpsModel::Rhythms);
    follow(CheckBox4, &MelodyOpsModel::AutoAnswer);
    follow(CheckBox3, &MelodyOpsModel::PlayToneOnClick);
    follow(CheckBox1, &MelodyOpsModel::ShowKeySignature);
    connect(CheckBox6, &QCheckBox::toggled, this, [this](bool on) {
        if (m_mirroring)
            return;
        m_model.SetShowFirstTone(on);
        Mirror();
    });
    connect(CheckBox2, &QCheckBox::toggled, this, [this](bool on) {
        if (m_mirroring)
            return;
        m_model.SetPlayTonic(on);
        Mirror();
    });
    connect(RadioButton5, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_mirroring)
            m_model.Cadence = on;
    });
    connect(SpeedButton13, &QToolButton::clicked, this, [this] { SpeedButton13Click(); });
}

void TMelodyOps::Mirror()
{
    m_mirroring = true;
    if (ComboBox3->count() != m_model.ScaleList.size() || [&] {
            for (int i = 0; i < ComboBox3->count(); ++i)
                if (ComboBox3->itemText(i) != m_model.ScaleList[i])
                    return true;
            return false;
        }()) {
        ComboBox3->clear();
        ComboBox3->addItems(m_model.ScaleList);
    }
    SpinEdit1->setValue(m_model.ToneCount);
    ComboBox3->setCurrentIndex(m_model.Scale);
    ComboBox1->setCurrentIndex(m_model.Leap);
    ComboBox2->setCurrentIndex(m_model.Ambitus);
    for (int k = 0; k < kMelodyOpsKeys; ++k) {
        KeyButtons[At(k)]->setChecked(m_model.Keys[At(k)]);
        KeyButtons[At(k)]->setVisible(m_model.KeysVisible);
    }
    CheckBox8->setChecked(m_model.Rhythms);
    CheckBox4->setChecked(m_model.AutoAnswer);
    CheckBox6->setChecked(m_model.ShowFirstTone);
    CheckBox3->setChecked(m_model.PlayToneOnClick);
    CheckBox1->setChecked(m_model.ShowKeySignature);
    CheckBox1->setEnabled(m_model.ShowKeySignatureEnabled);
    CheckBox2->setChecked(m_model.PlayTonic);
    CheckBox2->setEnabled(m_model.PlayTonicEnabled);
    RadioButton5->setChecked(m_model.Cadence);
    RadioButton1->setChecked(!m_model.Cadence);
    RadioButton1->setEnabled(m_model.ReferenceKindsEnabled);
    RadioButton5->setEnabled(m_model.ReferenceKindsEnabled);
    PaintBox1->update();
    m_mirroring = false;
}

void TMelodyOps::LoadSetup(ExerciseKind kind)
{
    m_model.LoadSetup(m_ctx.Setup.CurrentSetup, kind, m_ctx.Items);
    Mirror();
}

void TMelodyOps::StoreSetup(ExerciseKind kind)
{
    m_model.StoreSetup(m_ctx.Setup.CurrentSetup, kind);
}

void TMelodyOps::FormActivate()
{
    m_range.SetMarkerGap(kMelodyOpsMarkerGap);
    const MelodyOpsRangeGeometry geometry =
        MelodyOpsRangeGeometryFor(m_ctx.AnswerView ? m_ctx.AnswerView() : 8);
    GroupBox2->setGeometry(geometry.GroupBox2);
    PaintBox1->SetView(geometry.View);
    PaintBox1->setFixedSize(geometry.PaintBox1.size());
    PaintBox1->move(geometry.PaintBox1.topLeft());
    PaintBox1->update();
}

void TMelodyOps::SpeedButton13Click()
{
    m_model.SpeedButton13Click(m_ctx.Setup.SavedSetup, m_ctx.Setup.CurrentSetup,
                               m_ctx.CurrentKind ? m_ctx.CurrentKind() : std::nullopt, m_ctx.Items);
    Mirror();
}

void TMelodyOps::RegisterTexts(const TextSink& sink)
{
    const QString form = objectName() + u'.';
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5"}) {
        if (auto* l = Panel1->findChild<QLabel*>(QString::fromLatin1(name)))
            sink(form + l->objectName(), [l](const QString& text) { l->setText(text); });
    }
    for (QCheckBox* check : {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox6, CheckBox8})
        sink(form + check->objectName(), [check](const QString& text) { check->setText(text); });
    for (QRadioButton* radio : {RadioButton1, RadioButton5})
        sink(form + radio->objectName(), [radio](const QString& text) { radio->setText(text); });
    sink(form + QStringLiteral("GroupBox2"),
         [this](const QString& text) { GroupBox2->setTitle(text); });
    for (QComboBox* list : {ComboBox1, ComboBox2}) {
        for (int i = 0; i < kMelodyOpsSteps; ++i)
            sink(form + list->objectName() + QStringLiteral("[%1]").arg(i),
                 [list, i](const QString& text) { list->setItemText(i, text); });
    }
    // The scale list is the item tables' names, rebuilt by every load; its first entries have
    // no text of their own.
    for (int i = 0; i < 2; ++i)
        sink(form + QStringLiteral("ComboBox3[%1]").arg(i), [](const QString&) {});
    for (QToolButton* key : KeyButtons)
        sink(form + key->objectName(), [key](const QString& text) { key->setText(text); });
    sink(form + QStringLiteral("SpeedButton13#hint"),
         [this](const QString& text) { SpeedButton13->setToolTip(text); });
}

void TMelodyOps::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Panel1->move(std::max(0, (width() - Panel1->width()) / 2),
                 std::max(0, (height() - Panel1->height()) / 2));
}

void TMelodyOps::showEvent(QShowEvent* event)
{
    // The key pictures are drawn when the page is first shown: a page never opened draws
    // nothing.
    if (!m_picturesMade) {
        m_picturesMade = true;
        for (int k = 0; k < kMelodyOpsKeys; ++k)
            KeyButtons[At(k)]->setIcon(QIcon(KeyPicture(k - 6)));
    }
    QWidget::showEvent(event);
    FormActivate();
}

} // namespace pv
