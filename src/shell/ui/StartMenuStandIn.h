// The start menu until its own window arrives: the welcome text and a button per exercise.
#pragma once

#include "shell/main/MainWindowUi.h"

#include <functional>

#include <QStringList>
#include <QWidget>

class QLabel;

namespace pv {

class StartMenuStandIn final : public QWidget, public IStartMenu
{
    Q_OBJECT

public:
    /// kindNames: the ten kinds' names in kind order; choose runs with a kind's view tag.
    StartMenuStandIn(const QStringList& kindNames, std::function<void(int tag)> choose,
                     QWidget* parent = nullptr);

    void Start() override;
    void StopIntro() override {}
    std::optional<QString> WelcomeLine() const override;
    void SetWelcomeLine(const QString& line) override;

    /// The description lines; line 0 is the welcome line.
    void SetDescription(const QStringList& lines);
    QLabel* Description() const { return m_description; }

private:
    void ShowText();

    QStringList m_lines;
    QLabel* m_description = nullptr;
};

} // namespace pv
