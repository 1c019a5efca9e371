// The setup chooser: a modal dialog that lists the folder's setup files and loads the one picked.
#pragma once

#include "exercises/levels/LevelsModel.h"

#include <functional>

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace pv {

class IPrompts;
class SetupOperations;

class TLevels : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kHelpContext = 160;

    /// loader is the main window's setup load; its result decides the modal result.
    TLevels(IPrompts& prompts, SetupLoader loader, QWidget* parent = nullptr);
    /// Loads through the main window's setup commands.
    TLevels(IPrompts& prompts, SetupOperations& operations, QWidget* parent = nullptr);

    /// listFolder: the folder the main window holds for the chooser; programFolder: taken when
    /// listFolder is empty or missing; setupFolder: where "Other..." opens.
    void SetFolders(const QString& listFolder, const QString& programFolder,
                    const QString& setupFolder);
    /// The help viewer for a help context.
    void SetHelp(std::function<void(int)> help) { m_help = std::move(help); }

    /// Every activation lists the folder anew; nothing is selected and OK is off.
    void FormActivate();
    void ListBox2Click();
    void ListBox2DblClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn4Click();

    const LevelsModel& Model() const { return m_model; }

    QLabel* Label2 = nullptr; ///< "User-defined setups:"
    QListWidget* ListBox2 = nullptr;
    QPushButton* BitBtn1 = nullptr; ///< OK
    QPushButton* BitBtn3 = nullptr; ///< Cancel
    QPushButton* BitBtn4 = nullptr; ///< Help
    QPushButton* BitBtn2 = nullptr; ///< Other...
    QLabel* Label1 = nullptr;       ///< "* = personal files", always hidden

public slots:
    /// Cancel, Escape and the close box all end with "not loaded".
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SelectionChanged();
    void Finish(LevelsResult result);

    LevelsModel m_model;
    QString m_listFolder;
    QString m_programFolder;
    QString m_setupFolder;
    std::function<void(int)> m_help;
};

} // namespace pv
