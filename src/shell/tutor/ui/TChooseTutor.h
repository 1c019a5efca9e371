// The tutor chooser: a modal dialog for the tutor and the step of every kind it teaches.
#pragma once

#include "shell/language/ui/WidgetTexts.h"
#include "shell/tutor/ChooseTutorModel.h"

#include <array>
#include <functional>
#include <optional>

#include <QDialog>

class QLabel;
class QPushButton;
class QScrollBar;
class QSlider;

namespace pv {

class TTutorlist;

class TChooseTutor : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kWidth = 440;
    static constexpr int kTopPanelHeight = 56;
    static constexpr int kButtonPanelHeight = 44;

    /// Picks a tutor file for "choose tutor": its path, or nothing when none was picked.
    using TutorFilePicker = std::function<std::optional<QString>()>;

    /// Works on the `ResultUser` of app and loads into tutor; the tutor list it opens is its
    /// own.
    TChooseTutor(AppState& app, DataFiles& dataFiles, TTutorDefine& tutor,
                 const UIStringTable& strings, QWidget* parent = nullptr);
    ~TChooseTutor() override;

    /// Announces the texts of this window and of its tutor list.
    void RegisterTextTargets(const TextTargetSink& sink);

    /// Makes the current user the one whose tutor is chosen, shows the dialog modally (through
    /// run when given) and gives its result: 1 when a tutor is chosen, 2 when none is.
    int ChooseTutorForCurrentUser(const std::function<int(QDialog&)>& run = {});

    /// Every showing starts from the user's record (or the default tutor).
    void FormShow();
    /// OK: stores the choice; a failure is shown and the dialog stays open.
    void BitBtn1Click();
    /// Choose tutor: through the tutor list (or the picker a test set).
    void BitBtn3Click();
    /// No tutor.
    void BitBtn4Click();
    /// The rows scroll to position.
    void ScrollBar2Scroll(int position);

    /// Opens the program's help at a topic: the tutor list's Help, and F1 in both windows.
    void SetHelp(const std::function<void(int context)>& help);
    /// Replaces the tutor list as the way a tutor file is picked.
    void SetTutorFilePicker(TutorFilePicker picker) { m_picker = std::move(picker); }
    TTutorlist& TutorList() { return *m_list; }
    const ChooseTutorModel& Model() const { return m_model; }
    /// The track bar of a kind.
    QSlider* TrackBar(ExerciseKind kind) const;
    QLabel* ValueLabel(ExerciseKind kind) const;
    QWidget* RowPanel(ExerciseKind kind) const;

    QWidget* Panel1 = nullptr; ///< the header
    QLabel* Label8 = nullptr;  ///< the tutor's title
    QLabel* Label9 = nullptr;  ///< the tutor's author
    QWidget* RowsArea = nullptr;
    QWidget* Rows = nullptr; ///< the rows panel, moved by the scroll bar
    QScrollBar* ScrollBar2 = nullptr;
    QWidget* ButtonPanel = nullptr;
    QPushButton* BitBtn1 = nullptr; ///< OK
    QPushButton* BitBtn2 = nullptr; ///< Cancel
    QPushButton* BitBtn3 = nullptr; ///< choose tutor
    QPushButton* BitBtn4 = nullptr; ///< no tutor

public slots:
    /// Cancel, Escape and the close box end with "no tutor chosen", the user's own tutor in
    /// force again.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct RowWidgets
    {
        QWidget* Panel = nullptr;
        QLabel* Name = nullptr;
        QLabel* Value = nullptr;
        QSlider* TrackBar = nullptr;
    };

    /// Mirrors the model: header, rows, and the dialog's height and place on the screen.
    void ShowTutor();

    ChooseTutorModel m_model;
    AppState& m_app;
    DataFiles& m_data;
    std::array<RowWidgets, 10> m_rows{};
    TTutorlist* m_list = nullptr;
    TutorFilePicker m_picker;
};

} // namespace pv
