// The tutor list's window: layout, showing and the handlers.
#include "shell/ui/TTutorlist.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pv {

TTutorlist::TTutorlist(const Folders& folders, IPrompts& prompts, QWidget* parent)
    : QDialog(parent), PathDialog1(prompts), m_model(folders)
{
    setObjectName(QStringLiteral("TutorlistForm"));
    setWindowTitle(QStringLiteral("Choose tutor"));
    setModal(true);

    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    Label1 = new QLabel(QStringLiteral("Tutors"), this);
    named(Label1, "Label1");
    ListBox1 = new QListWidget(this);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    Label1->setBuddy(ListBox1);
    Label2 = new QLabel(this);
    named(Label2, "Label2");
    Label2->setTextFormat(Qt::PlainText);
    Label2->setWordWrap(true);
    BitBtn4 = new QPushButton(QStringLiteral("Other..."), this);
    named(BitBtn4, "BitBtn4");
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    named(BitBtn1, "BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    named(BitBtn2, "BitBtn2");
    BitBtn3 = new QPushButton(QStringLiteral("Help"), this);
    named(BitBtn3, "BitBtn3");
    SpeedButton2 = new QPushButton(QStringLiteral("Details"), this);
    named(SpeedButton2, "SpeedButton2");
    SpeedButton2->setCheckable(true);

    Details = new QWidget(this);
    Label3 = new QLabel(QStringLiteral("Description"), Details);
    named(Label3, "Label3");
    Memo1 = new QPlainTextEdit(Details);
    Memo1->setReadOnly(true);
    Label4 = new QLabel(QStringLiteral("Author"), Details);
    named(Label4, "Label4");
    Edit1 = new QLineEdit(Details);
    Edit1->setReadOnly(true);

    auto* list = new QVBoxLayout;
    list->addWidget(Label1);
    list->addWidget(ListBox1, 1);
    list->addWidget(Label2);
    auto* folderRow = new QHBoxLayout;
    folderRow->addStretch(1);
    folderRow->addWidget(BitBtn4);
    list->addLayout(folderRow);
    auto* buttons = new QVBoxLayout;
    buttons->addSpacing(Label1->sizeHint().height() + list->spacing());
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn3);
    buttons->addStretch(1);
    buttons->addWidget(SpeedButton2);
    auto* details = new QVBoxLayout(Details);
    details->setContentsMargins(0, 0, 0, 0);
    details->addWidget(Label3);
    details->addWidget(Memo1, 1);
    details->addWidget(Label4);
    details->addWidget(Edit1);
    auto* main = new QHBoxLayout(this);
    main->addLayout(list, 1);
    main->addLayout(buttons);
    main->addWidget(Details, 1);
    Details->hide();
    resize(kNarrowWidth, 340);

    connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });
    connect(ListBox1, &QListWidget::itemClicked, this, [this] { ListBox1Click(); });
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        if (m_model.SelectedPath())
            done(QDialog::Accepted);
    });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { reject(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help();
    });
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
}

void TTutorlist::RegisterTextTargets(const TextTargetSink& sink)
{
    QPointer<TTutorlist> self(this);
    sink(objectName(), [self](const QString& text) {
        if (self)
            self->setWindowTitle(text);
    });
    RegisterWidgetTexts(objectName(), *this, sink);
}

void TTutorlist::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TTutorlist::FormShow()
{
    SetDetailsShown(false);
    m_model.Show(m_startFolder);
    ShowEntries();
}

void TTutorlist::ShowEntries()
{
    Label2->setText(QDir::toNativeSeparators(m_model.Folder()));
    const QSignalBlocker quiet(ListBox1);
    ListBox1->clear();
    // The row is the entry's index: the list shows the entries in the model's order.
    for (const TAddInf& entry : m_model.Entries()) {
        auto* item = new QListWidgetItem(entry.Header.Title, ListBox1);
        item->setToolTip(QDir::toNativeSeparators(entry.Path));
    }
    ListBox1->setCurrentRow(-1);
    ListBox1->clearSelection();
    SelectionChanged();
}

void TTutorlist::SelectionChanged()
{
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    m_model.Select(selected.size() == 1 ? ListBox1->row(selected.front()) : -1);
    Memo1->setPlainText(m_model.Description());
    Edit1->setText(m_model.Author());
    BitBtn1->setEnabled(m_model.SelectedPath().has_value());
}

void TTutorlist::ListBox1Click()
{
    SelectionChanged();
}

void TTutorlist::ListBox1DblClick()
{
    SelectionChanged();
    if (m_model.SelectedPath())
        done(QDialog::Accepted);
}

void TTutorlist::SpeedButton2Click()
{
    SetDetailsShown(!Details->isVisible());
}

void TTutorlist::SetDetailsShown(bool shown)
{
    Details->setVisible(shown);
    SpeedButton2->setChecked(shown);
    resize(shown ? kWideWidth : kNarrowWidth, height());
}

void TTutorlist::BitBtn4Click()
{
    PathDialog1.SetTitle(windowTitle());
    if (m_model.ChooseFolder(PathDialog1))
        ShowEntries();
}

} // namespace pv
