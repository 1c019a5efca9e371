// The start menu until its own window arrives: the welcome text and a button per exercise.
#pragma once

#include "shell/language/StartMenuText.h"
#include "shell/main/MainWindowUi.h"

#include <functional>

#include <QStringList>
#include <QWidget>

class QLabel;

namespace pv {

class StartMenuStandIn final : public QWidget, public IStartMenu, public IStartMenuText
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

    // IStartMenuText: the label wraps long lines itself.
    void ClearDescriptions() override;
    void AddLine(const QString& text) override;
    void AddDescription(const QString& text) override;
    void MarkScrollStop() override {}

    /// The description lines; line 0 is the welcome line.
    void SetDescription(const QStringList& lines);
    QLabel* Description() const { return m_description; }

private:
    void ShowText();

    QStringList m_lines;
    QLabel* m_description = nullptr;
};

} // namespace pv
