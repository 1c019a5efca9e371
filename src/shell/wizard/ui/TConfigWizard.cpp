// The first-run wizard's window.
#include "shell/wizard/ui/TConfigWizard.h"

#include "music/strings/UIStrings.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace pv {

namespace {

constexpr int kTestNoteMs = 500;
constexpr int kInstrumentButtonSize = 96;

QLabel* Heading(const char* name, const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    label->setFont(font);
    return label;
}

} // namespace

TConfigWizard::TConfigWizard(ConfigWizardModel& model, const UIStringTable& strings, Runner run,
                             QWidget* parent)
    : QDialog(parent), m_model(model), m_strings(strings), m_run(std::move(run))
{
    setObjectName(QStringLiteral("ConfigWizardForm"));
    setWindowTitle(m_strings.StrProgramTitle.isEmpty() ? QStringLiteral("Pellivark")
                                                       : m_strings.StrProgramTitle);
    setModal(true);

    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    Caption2 = Heading("TabSheet2Caption", QStringLiteral("Sound"));
    Label2 = new QLabel(QStringLiteral("Choose the device that plays the sound."));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    ComboBox1 = new QComboBox;
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    SpeedButton4 = new QToolButton;
    SpeedButton4->setObjectName(QStringLiteral("SpeedButton4"));
    SpeedButton4->setText(QString(QChar(0x25B6)));
    SpeedButton4->setIconSize(QSize(24, 24));
    auto* device = new QHBoxLayout;
    device->addWidget(ComboBox1, 1);
    device->addWidget(SpeedButton4);
    auto* sound = new QVBoxLayout(TabSheet2);
    sound->addWidget(Caption2);
    sound->addWidget(Label2);
    sound->addLayout(device);
    sound->addStretch(1);

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    Caption1 = Heading("TabSheet1Caption", QStringLiteral("Your instrument"));
    Label1 = new QLabel(QStringLiteral("Which instrument do you want to enter notes with?"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    m_instruments = new QButtonGroup(this);
    m_instruments->setExclusive(true);
    SpeedButton1 =
        MakeInstrumentButton("SpeedButton1", QStringLiteral("Piano"), WizardInstrument::Piano);
    SpeedButton2 =
        MakeInstrumentButton("SpeedButton2", QStringLiteral("Guitar"), WizardInstrument::Guitar);
    SpeedButton3 = MakeInstrumentButton("SpeedButton3", QStringLiteral("Answer buttons"),
                                        WizardInstrument::Other);
    auto* buttons = new QHBoxLayout;
    for (QToolButton* button : {SpeedButton1, SpeedButton2, SpeedButton3})
        buttons->addWidget(button);
    buttons->addStretch(1);
    auto* instrument = new QVBoxLayout(TabSheet1);
    instrument->addWidget(Caption1);
    instrument->addWidget(Label1);
    instrument->addLayout(buttons);
    instrument->addStretch(1);

    PageControl1 = new QStackedWidget;
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    for (const WizardPage page : m_model.Pages())
        PageControl1->addWidget(page == WizardPage::Sound ? TabSheet2 : TabSheet1);
    // A page the start does not need is not shown, and goes with the window.
    for (QWidget* page : {TabSheet1, TabSheet2}) {
        if (PageControl1->indexOf(page) < 0) {
            page->setParent(this);
            page->hide();
        }
    }

    Button1 = new QPushButton(QStringLiteral("Back"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(m_strings.StrWizardNext);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(Button1);
    row->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(row);
    resize(460, 260);

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(kTestNoteMs);
    connect(Timer1, &QTimer::timeout, this, [this] { m_model.TestNoteDone(); });
    connect(SpeedButton4, &QToolButton::clicked, this, [this] {
        m_model.Play();
        Timer1->start();
    });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_mirroring || index < 0)
            return;
        m_model.ChooseOutput(index);
        Mirror();
    });
    connect(Button1, &QPushButton::clicked, this, [this] {
        m_model.Back();
        Mirror();
    });
    connect(Button2, &QPushButton::clicked, this, [this] {
        if (m_model.Forward())
            accept();
        else
            Mirror();
    });
}

QToolButton* TConfigWizard::MakeInstrumentButton(const char* name, const QString& text,
                                                 WizardInstrument instrument)
{
    auto* button = new QToolButton;
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setCheckable(true);
    button->setMinimumSize(kInstrumentButtonSize, kInstrumentButtonSize / 2);
    m_instruments->addButton(button);
    connect(button, &QToolButton::toggled, this, [this, instrument](bool down) {
        if (down && !m_mirroring)
            m_model.ChooseInstrument(instrument);
    });
    return button;
}

void TConfigWizard::Mirror()
{
    m_mirroring = true;
    PageControl1->setCurrentIndex(m_model.ActiveIndex());
    Button1->setEnabled(m_model.BackEnabled());
    Button2->setText(m_model.ForwardFinishes() ? m_strings.StrWizardFinish
                                               : m_strings.StrWizardNext);
    if (ComboBox1->count() != static_cast<int>(m_model.Outputs.size())) {
        ComboBox1->clear();
        for (const SettingsDevice& output : m_model.Outputs)
            ComboBox1->addItem(output.Name);
    }
    ComboBox1->setCurrentIndex(m_model.OutputIndex);
    m_mirroring = false;
}

bool TConfigWizard::Exec()
{
    Mirror();
    const int result = m_run ? m_run(*this) : exec();
    Timer1->stop();
    return result == QDialog::Accepted;
}

void TConfigWizard::RegisterTexts(
    const std::function<void(const QString& key, std::function<void(const QString&)>)>& sink)
{
    const QString form = objectName();
    const std::pair<const char*, QLabel*> captions[] = {
        {"TabSheet1", Caption1}, {"TabSheet2", Caption2}, {"Label1", Label1}, {"Label2", Label2}};
    for (const auto& [name, label] : captions) {
        QPointer<QLabel> target(label);
        sink(form + QLatin1Char('.') + QString::fromLatin1(name), [target](const QString& text) {
            if (target)
                target->setText(text);
        });
    }
    for (QAbstractButton* button :
         {static_cast<QAbstractButton*>(Button1), static_cast<QAbstractButton*>(SpeedButton1),
          static_cast<QAbstractButton*>(SpeedButton2),
          static_cast<QAbstractButton*>(SpeedButton3)}) {
        QPointer<QAbstractButton> target(button);
        sink(form + QLatin1Char('.') + button->objectName(), [target](const QString& text) {
            if (target)
                target->setText(text);
        });
    }
}

} // namespace pv
