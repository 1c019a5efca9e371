// The results view: a header strip with the period's figures, the column toggles, and a grid of
// the results of one kind, one row each, with score bars in the score cells.
#pragma once

#include "shell/results/ResultsViewModel.h"

#include <functional>

#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QTableView;
class QToolButton;

namespace pv {

class ResultsTableModel;
class ScoreBarBox;

class TUserResult final : public QWidget
{
    Q_OBJECT

public:
    /// Where a window announces its texts: a target key and the setter of its text.
    using TextSink = std::function<void(const QString& key, std::function<void(const QString&)>)>;

    /// sources must outlive the view.
    explicit TUserResult(ResultsViewSources sources, QWidget* parent = nullptr);
    ~TUserResult() override;

    ResultsViewModel& Model() { return m_model; }

    /// Lists the results of kind (0 keeps the kind shown) from fromDate on (below 0 keeps the
    /// date), and the user choice.
    void Fill(int kind, double fromDate);
    /// Puts the toggles in the state of the column table and rebuilds the grid's columns.
    void SetColumns();
    /// The item toggles are offered for the view's kind (when it has item columns).
    void SetItemButtonsVisible(bool on);
    /// The user choice is shown (at the left of the header strip) or not.
    void SetUserChooser(bool shown, int panelLeft);
    /// The header strip's period text and summed exercise time (the statistics period).
    void SetPeriodLabel(const QString& text);
    void SetExerciseTimeLabel(const QString& text);
    /// Lays out the header strip after its texts changed.
    void FormActivate();

    /// Announces the column titles, toggles and labels to the language file.
    void RegisterTextTargets(const TextSink& sink);

    QTableView* Grid() const { return m_grid; }
    QComboBox* ComboBox1 = nullptr;      ///< the user choice
    QLabel* Label1 = nullptr;            ///< "Exercise time:"
    QLabel* Label2 = nullptr;            ///< "Score:"
    QLabel* Label3 = nullptr;            ///< the period's exercise time
    QLabel* Label4 = nullptr;            ///< the period
    QLabel* Label5 = nullptr;            ///< "Answer time:"
    QLabel* Label6 = nullptr;            ///< the period's answer time per question
    QToolButton* SpeedButton1 = nullptr; ///< time
    QToolButton* SpeedButton2 = nullptr; ///< duration
    QToolButton* SpeedButton3 = nullptr; ///< level name
    QToolButton* SpeedButton4 = nullptr; ///< details: the item columns
    QToolButton* SpeedButton5 = nullptr; ///< "+": counts in the item cells
    QToolButton* SpeedButton6 = nullptr; ///< answer time

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ToggleClicked();
    void SectionResized();
    void UserChosen(int index);
    void ApplyToggles();
    void SelectLastRow();
    void FillUsers();

    ResultsViewModel m_model;
    ResultsTableModel* m_table = nullptr;
    QTableView* m_grid = nullptr;
    QWidget* m_header = nullptr;
    ScoreBarBox* m_paintBox1 = nullptr;
    QFrame* m_bevels[3] = {};
    QWidget* m_toggles = nullptr;
    bool m_itemButtonsAllowed = true;
    bool m_userChooserShown = false;
    int m_panelLeft = 0;
    /// Set while the program sets the columns' widths, which are no resize by the user.
    bool m_settingWidths = false;
    bool m_fillingUsers = false;
};

} // namespace pv
