// The reports dialog.
#include "shell/reports/ui/TReports.h"

#include "music/files/DaysSince1899.h"
#include "shell/reports/ui/ReportPainter.h"
#include "shell/reports/ui/TPreviewer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace pv {

namespace {

/// A menu caption without its accelerator mark.
QString Plain(const QString& caption)
{
    QString text = caption;
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text;
}

const char* const kBoxNames[10] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4",
                                   "CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8",
                                   "CheckBox9", "CheckBox11"};

} // namespace

TReports::TReports(ReportsContext context, QWidget* parent)
    : QDialog(parent), m_c(std::move(context)),
      m_model(ReportSources{m_c.Data, m_c.App, m_c.Strings, m_c.Prompts, m_c.TutorTitle}),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    const UIStringTable& s = m_c.Strings;
    setObjectName(QStringLiteral("ReportsForm"));
    setWindowTitle(Plain(s.StrReports)); // the string doubles as a menu text
    auto* layout = new QVBoxLayout(this);

    GroupBox1 = new QGroupBox(s.StrReportText1, this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* scope = new QGridLayout(GroupBox1);
    RadioButton1 = new QRadioButton(s.StrReportLabel2, GroupBox1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    ComboBox3 = new QComboBox(GroupBox1);
    ComboBox3->setObjectName(QStringLiteral("ComboBox3"));
    RadioButton2 = new QRadioButton(s.StrReportLabel1, GroupBox1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    ComboBox2 = new QComboBox(GroupBox1);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    RadioButton4 = new QRadioButton(s.StrReportText4, GroupBox1);
    RadioButton4->setObjectName(QStringLiteral("RadioButton4"));
    RadioButton3 = new QRadioButton(s.StrReportText3, GroupBox1);
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    scope->addWidget(RadioButton1, 0, 0);
    scope->addWidget(ComboBox3, 0, 1);
    scope->addWidget(RadioButton2, 1, 0);
    scope->addWidget(ComboBox2, 1, 1);
    scope->addWidget(RadioButton4, 2, 0, 1, 2);
    scope->addWidget(RadioButton3, 3, 0, 1, 2);
    layout->addWidget(GroupBox1);

    GroupBox2 = new QGroupBox(this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto* kinds = new QGridLayout(GroupBox2);
    for (int box = 1; box <= 10; ++box) {
        QCheckBox*& check = KindBoxes[static_cast<std::size_t>(box - 1)];
        check = new QCheckBox(GroupBox2);
        check->setObjectName(QString::fromLatin1(kBoxNames[box - 1]));
        kinds->addWidget(check, (box - 1) % 5, (box - 1) / 5);
        connect(check, &QCheckBox::clicked, this, [this, box] { KindBoxClicked(box); });
    }
    CheckBox10 = new QCheckBox(s.StrReportText5, GroupBox2);
    CheckBox10->setObjectName(QStringLiteral("CheckBox10"));
    kinds->addWidget(CheckBox10, 5, 0, 1, 2);
    connect(CheckBox10, &QCheckBox::clicked, this, [this] { AllBoxClicked(); });
    layout->addWidget(GroupBox2);

    GroupBox3 = new QGroupBox(s.StrReportText6, this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    auto* days = new QHBoxLayout(GroupBox3);
    Label1 = new QLabel(s.StrReportText7, GroupBox3);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1 = new QComboBox(GroupBox3);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    for (const char* n : {"1", "7", "14", "30", "90", "365"})
        ComboBox1->addItem(QString::fromLatin1(n));
    ComboBox1->setCurrentText(QStringLiteral("30"));
    Label2 = new QLabel(s.StrReportText8, GroupBox3);
    Label2->setObjectName(QStringLiteral("Label2"));
    days->addWidget(Label1);
    days->addWidget(ComboBox1);
    days->addWidget(Label2);
    days->addStretch(1);
    layout->addWidget(GroupBox3);

    auto* buttons = new QHBoxLayout;
    Button1 = new QPushButton(s.StrPreview, this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(s.StrPrint, this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button3 = new QPushButton(s.StrClose, this);
    Button3->setObjectName(QStringLiteral("Button3"));
    for (QPushButton* b : {Button1, Button2, Button3}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, &QDialog::accept);
    connect(ComboBox3, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(m_users.size()))
            m_c.App.SetResultUser(m_users[static_cast<std::size_t>(index)]);
        RadioButton1->setChecked(true);
    });
    connect(ComboBox2, &QComboBox::activated, this, [this] { RadioButton2->setChecked(true); });
    m_footnote = QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
}

TReports::~TReports() = default;

void TReports::FormShow()
{
    const bool right = m_c.OtherUsersRight && m_c.OtherUsersRight();
    GroupBox1->setVisible(right);
    GroupBox1->setEnabled(right);
    if (!right)
        RadioButton1->setChecked(true);
    else if (!RadioButton1->isChecked() && !RadioButton2->isChecked() &&
             !RadioButton3->isChecked() && !RadioButton4->isChecked())
        RadioButton1->setChecked(true);
    GroupBox2->setTitle(Plain(m_c.ExerciseMenuCaption ? m_c.ExerciseMenuCaption() : QString()));
    for (int box = 1; box <= 10; ++box) {
        const int kind = kReportBoxKinds[static_cast<std::size_t>(box - 1)];
        KindBoxes[static_cast<std::size_t>(box - 1)]->setText(
            Plain(m_c.KindCaption ? m_c.KindCaption(kind) : QString()));
    }
    m_users = m_model.ChoosableUsers();
    ComboBox3->clear();
    int shown = -1;
    for (std::size_t i = 0; i < m_users.size(); ++i) {
        const TUserRec& rec = m_users[i]->Record;
        ComboBox3->addItem(ShownName(rec.FullName));
        if (m_c.App.ResultUser() && rec.UserId == m_c.App.ResultUserId())
            shown = static_cast<int>(i);
    }
    ComboBox3->setCurrentIndex(shown);
    m_classes = m_model.ChoosableClasses();
    ComboBox2->clear();
    for (const TClassRec& c : m_classes)
        ComboBox2->addItem(c.Name);
    ComboBox2->setCurrentIndex(-1);
    m_model.Boxes.Show(m_c.CurrentKind ? m_c.CurrentKind() : 0);
    CheckBox10->setTristate(m_model.Boxes.GrayedAllowed());
    ShowBoxes();
}

void TReports::ShowBoxes()
{
    m_updating = true;
    for (int box = 1; box <= 10; ++box)
        KindBoxes[static_cast<std::size_t>(box - 1)]->setChecked(m_model.Boxes.Ticked(box));
    switch (m_model.Boxes.All()) {
    case ReportKindBoxes::AllState::Unchecked:
        CheckBox10->setCheckState(Qt::Unchecked);
        break;
    case ReportKindBoxes::AllState::Grayed:
        CheckBox10->setCheckState(Qt::PartiallyChecked);
        break;
    case ReportKindBoxes::AllState::Checked:
        CheckBox10->setCheckState(Qt::Checked);
        break;
    }
    m_updating = false;
}

void TReports::KindBoxClicked(int box)
{
    if (m_updating)
        return;
    m_model.Boxes.KindBoxClicked(box, KindBoxes[static_cast<std::size_t>(box - 1)]->isChecked());
    ShowBoxes();
}

void TReports::AllBoxClicked()
{
    if (m_updating)
        return;
    // The box has moved on by itself; the model moves on the same way from the state before.
    m_model.Boxes.AllBoxClicked();
    ShowBoxes();
}

bool TReports::Prepare()
{
    ReportChoice choice;
    if (RadioButton2->isChecked())
        choice.Scope = ReportScope::OneClass;
    else if (RadioButton4->isChecked())
        choice.Scope = ReportScope::AllStudents;
    else if (RadioButton3->isChecked())
        choice.Scope = ReportScope::AllUsers;
    const int user = ComboBox3->currentIndex();
    if (user >= 0 && user < static_cast<int>(m_users.size()))
        choice.User = m_users[static_cast<std::size_t>(user)];
    const int chosenClass = ComboBox2->currentIndex();
    if (chosenClass >= 0 && chosenClass < static_cast<int>(m_classes.size()))
        choice.Class = m_classes[static_cast<std::size_t>(chosenClass)];
    choice.Days = ComboBox1->currentText();
    choice.Boxes = m_model.Boxes.TickedBoxes();

    ReportDialogTexts texts;
    texts.OneClass = RadioButton2->text();
    texts.AllStudents = RadioButton4->text();
    texts.AllUsers = RadioButton3->text();
    texts.DaysBefore = Label1->text();
    texts.DaysAfter = Label2->text();
    for (std::size_t i = 0; i < KindBoxes.size(); ++i)
        texts.BoxCaptions[i] = KindBoxes[i]->text();
    texts.TutorLabel = m_c.TutorLabel ? m_c.TutorLabel() : QString();
    if (m_c.ColumnTitle) {
        texts.DateTitle = m_c.ColumnTitle(0);
        texts.TimeTitle = m_c.ColumnTitle(1);
        texts.DurationTitle = m_c.ColumnTitle(2);
        texts.LevelTitle = m_c.ColumnTitle(4);
    }
    const bool right = m_c.OtherUsersRight && m_c.OtherUsersRight();
    const bool ok = m_model.Prepare(choice, texts, right, TodayInDaysSince1899());
    if (!ok && m_model.FocusUserChoice())
        ComboBox3->setFocus();
    return ok;
}

std::vector<ReportPage> TReports::PagesFor(QPrinter& printer) const
{
    return LayOutForPrinter(printer, m_model.Prepared(), m_c.Strings.StrPreviewFormat, m_footnote);
}

int TReports::Run(QDialog& dialog)
{
    return m_c.RunDialog ? m_c.RunDialog(dialog) : dialog.exec();
}

void TReports::Button1Click()
{
    if (!Prepare())
        return;
    if (m_previewer == nullptr) {
        m_previewer = new TPreviewer(
            *m_printer, m_c.Strings, [this](QPrinter& printer) { return PagesFor(printer); },
            [this](int pageCount) { PrintReport(1, pageCount); }, this);
    }
    m_previewer->FormShow();
    Run(*m_previewer);
}

void TReports::Button2Click()
{
    if (!Prepare())
        return;
    PrintReport(0, 0);
}

void TReports::PrintReport(int fromPage, int toPage)
{
    QPrintDialog dialog(m_printer.get(), this);
    dialog.setObjectName(QStringLiteral("PrintDialog1"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    m_printer->setPrintRange(QPrinter::AllPages);
    m_printer->setFromTo(0, 0);
    if (toPage > 0) {
        dialog.setMinMax(std::max(1, fromPage), toPage);
        dialog.setFromTo(std::max(1, fromPage), toPage);
    }
    if (Run(dialog) != QDialog::Accepted)
        return;
    PrintReportPages(*m_printer, PagesFor(*m_printer));
}

} // namespace pv
