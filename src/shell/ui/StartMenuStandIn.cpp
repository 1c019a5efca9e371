// The start menu's stand-in.
#include "shell/ui/StartMenuStandIn.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pv {

StartMenuStandIn::StartMenuStandIn(const QStringList& kindNames,
                                   std::function<void(int tag)> choose, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("StartMenuForm"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    auto* title = new QLabel(QStringLiteral("Pellivark"), this);
    title->setObjectName(QStringLiteral("Title"));
    QFont titleFont = title->font();
    titleFont.setPointSize(titleFont.pointSize() + 10);
    titleFont.setBold(true);
    title->setFont(titleFont);
    layout->addWidget(title);

    auto* grid = new QGridLayout;
    for (int i = 0; i < kindNames.size(); ++i) {
        auto* button = new QPushButton(kindNames[i], this);
        button->setObjectName(QStringLiteral("Kind%1").arg(i + 1));
        button->setMinimumHeight(36);
        const int tag = i + 1;
        connect(button, &QPushButton::clicked, this, [choose, tag] {
            if (choose)
                choose(tag);
        });
        grid->addWidget(button, i / 2, i % 2);
    }
    layout->addLayout(grid);

    m_description = new QLabel(this);
    m_description->setObjectName(QStringLiteral("Description"));
    m_description->setWordWrap(true);
    m_description->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(m_description, 1);
    m_lines = {QStringLiteral("Welcome to Pellivark"),
               QStringLiteral("Choose an exercise to begin.")};
    ShowText();
}

void StartMenuStandIn::Start()
{
    ShowText();
}

std::optional<QString> StartMenuStandIn::WelcomeLine() const
{
    if (m_lines.isEmpty())
        return std::nullopt;
    return m_lines.front();
}

void StartMenuStandIn::SetWelcomeLine(const QString& line)
{
    if (m_lines.isEmpty())
        return;
    m_lines.front() = line;
    ShowText();
}

void StartMenuStandIn::ClearDescriptions()
{
    m_lines.clear();
    ShowText();
}

void StartMenuStandIn::AddLine(const QString& text)
{
    m_lines.append(text);
    ShowText();
}

void StartMenuStandIn::AddDescription(const QString& text)
{
    AddLine(text);
}

void StartMenuStandIn::SetDescription(const QStringList& lines)
{
    m_lines = lines;
    ShowText();
}

void StartMenuStandIn::ShowText()
{
    m_description->setText(m_lines.join(QLatin1Char('\n')));
}

} // namespace pv
