// The delete-results dialog.
#include "shell/results/ui/TDeleteDialog.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pv {

TDeleteDialog::TDeleteDialog(AppState& app, DataFiles& dataFiles, const UIStringTable& strings,
                             std::function<void(int)> help, QWidget* parent)
    : QDialog(parent), m_model(app, dataFiles, strings), m_strings(strings), m_help(std::move(help))
{
    setObjectName(QStringLiteral("DeleteDialog"));
    // F1 in the dialog opens the topic its Help button opens.
    setProperty("helpContext", kHelpContext);
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    layout->addWidget(Label1);
    DateTimePicker1 = new QDateEdit(this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setCalendarPopup(true);
    layout->addWidget(DateTimePicker1);
    auto* buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn3 = new QPushButton(this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn1->setAutoDefault(false);
    BitBtn3->setAutoDefault(false);
    buttons->addWidget(BitBtn1);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn3);
    layout->addLayout(buttons);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(1); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help(kHelpContext);
    });
    setMinimumWidth(340);
    FormShow();
}

void TDeleteDialog::FormShow()
{
    DateTimePicker1->setDate(DeleteResultsModel::DefaultDate(QDate::currentDate()));
    Label1->setText(m_model.LabelText());
    BitBtn1->setText(m_strings.StrDeleteResultsCaption);
    BitBtn2->setText(m_strings.StrClose);
    BitBtn3->setText(m_strings.StrHelp);
    setWindowTitle(m_strings.StrDeleteResultsCaption);
    m_deleted = false;
}

void TDeleteDialog::BitBtn1Click()
{
    IgnoreResult(m_model.Delete(DateTimePicker1->date()),
                 "failures are shown by the model; the dialog stays for another day or Close");
    m_deleted = true;
}

} // namespace pv
