// The export and import dialog.
#include "shell/transfer/ui/TExportImport.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace pv {

namespace {

QString WithEllipsis(const QString& text)
{
    return text + QStringLiteral("...");
}

} // namespace

TExportImport::TExportImport(TransferServices services, QWidget* parent)
    : QDialog(parent), m_model(std::move(services))
{
    setObjectName(QStringLiteral("ExportImportForm"));
    setWindowTitle(QStringLiteral("Export and import"));
    auto* layout = new QVBoxLayout(this);

    auto* fields = new QGridLayout;
    Label1 = new QLabel(QStringLiteral("User"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    Label2 = new QLabel(QStringLiteral("Folder"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Edit1 = new QLineEdit(ExportImportModel::DefaultFolder(), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(320);
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(ComboBox1, 0, 1);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(Edit1, 1, 1);
    layout->addLayout(fields);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    const auto tab = [this](const char* name, const char* title, QPushButton*& button,
                            const char* buttonName, QLabel*& busy, const char* busyName) {
        auto* page = new QWidget(PageControl1);
        page->setObjectName(QString::fromLatin1(name));
        auto* row = new QHBoxLayout(page);
        button = new QPushButton(QStringLiteral("Start"), page);
        button->setObjectName(QString::fromLatin1(buttonName));
        busy = new QLabel(page);
        busy->setObjectName(QString::fromLatin1(busyName));
        busy->hide();
        row->addWidget(button);
        row->addWidget(busy, 1);
        PageControl1->addTab(page, QString::fromLatin1(title));
        return page;
    };
    TabSheet1 = tab("TabSheet1", "Import", BitBtn1, "BitBtn1", Label7, "Label7");
    TabSheet2 = tab("TabSheet2", "Export", BitBtn2, "BitBtn2", Label6, "Label6");
    Label7->setText(WithEllipsis(QStringLiteral("Importing")));
    Label6->setText(WithEllipsis(QStringLiteral("Exporting")));
    layout->addWidget(PageControl1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BitBtn3 = new QPushButton(QStringLiteral("Close"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    buttons->addWidget(BitBtn3);
    layout->addLayout(buttons);
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3})
        b->setAutoDefault(false);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { ImportUser(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { ExportUser(); });
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::accept);
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this](int index) { TabChanged(index); });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_filling)
            m_model.ChooseUser(index);
    });
    m_model.BusyChanged = [this](bool busy) { ShowBusy(busy); };
    TabChanged(0);
    ShowBusy(false);
}

void TExportImport::FillUsers()
{
    m_filling = true;
    ComboBox1->clear();
    for (const auto& user : m_model.Users())
        ComboBox1->addItem(ShownName(user->Record.FullName));
    ComboBox1->setCurrentIndex(m_model.SelectedUser());
    m_filling = false;
}

void TExportImport::SetUserChoiceAllowed(bool on)
{
    m_userChoiceAllowed = on;
    ShowBusy(m_model.Busy());
}

bool TExportImport::ImportUser()
{
    return m_model.ImportUser(Edit1->text());
}

bool TExportImport::ExportUser()
{
    return m_model.ExportUser(Edit1->text());
}

void TExportImport::ShowBusy(bool busy)
{
    Label6->setVisible(busy && PageControl1->currentWidget() == TabSheet2);
    Label7->setVisible(busy && PageControl1->currentWidget() == TabSheet1);
    BitBtn1->setEnabled(!busy);
    BitBtn2->setEnabled(!busy);
    BitBtn3->setEnabled(!busy);
    Edit1->setEnabled(!busy);
    PageControl1->tabBar()->setEnabled(!busy);
    ComboBox1->setEnabled(!busy && m_userChoiceAllowed);
    // The display shows at once, before the work that made it busy.
    if (isVisible())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TExportImport::TabChanged(int index)
{
    const bool import = index == 0;
    ComboBox1->setProperty("helpContext", import ? kImportUsersHelp : kExportUsersHelp);
    Edit1->setProperty("helpContext", import ? kImportFolderHelp : kExportFolderHelp);
}

void TExportImport::reject()
{
    if (!m_model.Busy())
        QDialog::reject();
}

void TExportImport::closeEvent(QCloseEvent* event)
{
    if (m_model.Busy())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TExportImport::RegisterTextTargets(const TextSink& sink)
{
    const QString form = objectName();
    sink(form, [this](const QString& text) { setWindowTitle(text); });
    sink(form + QStringLiteral(".TabSheet1"),
         [this](const QString& text) { PageControl1->setTabText(0, text); });
    sink(form + QStringLiteral(".TabSheet2"),
         [this](const QString& text) { PageControl1->setTabText(1, text); });
    const std::pair<QLabel*, const char*> labels[] = {{Label1, "Label1"}, {Label2, "Label2"}};
    for (const auto& [label, name] : labels)
        sink(form + QLatin1Char('.') + QString::fromLatin1(name),
             [target = label](const QString& text) { target->setText(text); });
    // The language loader adds the dots of these two.
    sink(form + QStringLiteral(".Label6"), [this](const QString& text) { Label6->setText(text); });
    sink(form + QStringLiteral(".Label7"), [this](const QString& text) { Label7->setText(text); });
    const std::pair<QPushButton*, const char*> buttons[] = {
        {BitBtn1, "BitBtn1"}, {BitBtn2, "BitBtn2"}, {BitBtn3, "BitBtn3"}};
    for (const auto& [button, name] : buttons)
        sink(form + QLatin1Char('.') + QString::fromLatin1(name),
             [target = button](const QString& text) { target->setText(text); });
}

} // namespace pv
