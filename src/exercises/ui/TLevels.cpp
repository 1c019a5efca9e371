// The setup chooser's window: layout, activation and the button handlers.
#include "exercises/ui/TLevels.h"

#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace pv {

TLevels::TLevels(IPrompts& prompts, SetupLoader loader, QWidget* parent)
    : QDialog(parent), m_model(prompts, std::move(loader))
{
    setWindowTitle(QStringLiteral("Choose an exercise setup"));
    setModal(true);

    Label2 = new QLabel(QStringLiteral("Exercise setups:"), this);
    ListBox2 = new QListWidget(this);
    ListBox2->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox2->setMinimumSize(220, 220);
    Label2->setBuddy(ListBox2);
    Label1 = new QLabel(QStringLiteral("* = your own files"), this);
    Label1->hide();

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setDefault(true);
    BitBtn3 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn4 = new QPushButton(QStringLiteral("&Help"), this);
    BitBtn2 = new QPushButton(QStringLiteral("Other..."), this);
    // The language file reaches the controls by these names.
    const std::pair<QWidget*, const char*> names[] = {
        {Label2, "Label2"},   {ListBox2, "ListBox2"}, {Label1, "Label1"},  {BitBtn1, "BitBtn1"},
        {BitBtn3, "BitBtn3"}, {BitBtn4, "BitBtn4"},   {BitBtn2, "BitBtn2"}};
    for (const auto& [widget, name] : names)
        widget->setObjectName(QString::fromLatin1(name));
    // F1 in the dialog opens the topic its Help button opens.
    setProperty("helpContext", kHelpContext);

    auto* left = new QVBoxLayout;
    left->addWidget(Label2);
    left->addWidget(ListBox2, 1);
    left->addWidget(Label1);
    auto* right = new QVBoxLayout;
    right->addSpacing(Label2->sizeHint().height() + left->spacing());
    right->addWidget(BitBtn1);
    right->addWidget(BitBtn3);
    right->addWidget(BitBtn4);
    right->addStretch(1);
    right->addWidget(BitBtn2);
    auto* main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addLayout(right);

    connect(ListBox2, &QListWidget::itemClicked, this, [this] { ListBox2Click(); });
    connect(ListBox2, &QListWidget::itemDoubleClicked, this, [this] { ListBox2DblClick(); });
    // Every change of the selection (mouse, keyboard, a Ctrl+click that clears it) reaches the
    // model, and OK follows the model's rule.
    connect(ListBox2, &QListWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { reject(); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
}

TLevels::TLevels(IPrompts& prompts, SetupOperations& operations, QWidget* parent)
    : TLevels(prompts, LoadThrough(operations), parent)
{
}

void TLevels::SetFolders(const QString& listFolder, const QString& programFolder,
                         const QString& setupFolder)
{
    m_listFolder = listFolder;
    m_programFolder = programFolder;
    m_setupFolder = setupFolder;
}

void TLevels::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormActivate();
}

void TLevels::FormActivate()
{
    ListBox2->clear();
    m_model.Activate(m_listFolder, m_programFolder);
    for (const SetupEntry& entry : m_model.Entries()) {
        const QString shown =
            entry.Own ? QStringLiteral("* ") + entry.DisplayName : entry.DisplayName;
        auto* item = new QListWidgetItem(shown, ListBox2);
        item->setToolTip(QDir::toNativeSeparators(entry.FilePath));
    }
    ListBox2->setCurrentRow(-1);
    ListBox2->clearSelection();
    // The mark of the user's own setups is explained only where there are some.
    Label1->setVisible(m_model.HasOwnEntries());
    SelectionChanged();
}

void TLevels::SelectionChanged()
{
    // The row is the entry's index: the list shows the entries in the model's order.
    const QList<QListWidgetItem*> selected = ListBox2->selectedItems();
    m_model.Select(selected.size() == 1 ? ListBox2->row(selected.front()) : -1);
    BitBtn1->setEnabled(m_model.OkEnabled());
}

void TLevels::ListBox2Click()
{
    SelectionChanged();
    if (m_model.OkEnabled())
        BitBtn1->setFocus(Qt::OtherFocusReason);
}

void TLevels::ListBox2DblClick()
{
    BitBtn1Click();
}

void TLevels::BitBtn1Click()
{
    if (!m_model.OkEnabled())
        return;
    hide();
    Finish(m_model.LoadSelected().value_or(LevelsResult::NotLoaded));
}

void TLevels::BitBtn2Click()
{
    const QString folder = m_setupFolder.isEmpty() ? m_programFolder : m_setupFolder;
    const std::optional<QString> fileName = m_model.AskOtherFile(folder);
    if (!fileName)
        return;
    hide();
    Finish(m_model.LoadFile(*fileName));
}

void TLevels::BitBtn4Click()
{
    if (m_help)
        m_help(kHelpContext);
}

void TLevels::reject()
{
    Finish(LevelsResult::NotLoaded);
}

void TLevels::Finish(LevelsResult result)
{
    hide();
    done(static_cast<int>(result));
}

} // namespace pv
