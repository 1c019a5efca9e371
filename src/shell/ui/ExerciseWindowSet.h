// The ten exercise windows as the main window's decisions see them: the identification window
// of each kind that has one, the interval comparison window and the rhythm windows.
#pragma once

#include "exercises/identification/AkkordModel.h"
#include "exercises/rhythmexercise/RhythmExerciseModel.h"
#include "shell/main/MainWindowUi.h"

#include <array>
#include <functional>

#include <QPointer>

namespace pv {

class TExerciseBaseClass;
class TAkkord;
class TIntervalSam;
class TRhythmWindow;
struct ItemTables;
struct SetupState;

class ExerciseWindowSet final : public IExerciseWindows
{
public:
    /// setup and items must outlive the set; settings gives the identification options of the
    /// program settings at the moment a setup is applied.
    ExerciseWindowSet(const SetupState& setup, const ItemTables& items,
                      std::function<AkkordSettings()> settings);

    /// The window of kind; null leaves the kind without one.
    void SetWindow(ExerciseKind kind, TExerciseBaseClass* window);
    TExerciseBaseClass* Window(ExerciseKind kind) const;
    /// The identification window of kind, when it is one.
    TAkkord* Identification(ExerciseKind kind) const;
    /// The interval comparison window, when there is one.
    TIntervalSam* Comparison() const;
    /// The rhythm window of kind (4, 5, 6), when it is one.
    TRhythmWindow* Rhythm(ExerciseKind kind) const;

    /// The program settings the rhythm windows play and judge with, read whenever a setup is
    /// applied to them.
    void SetRhythmSettings(std::function<RhythmExerciseSettings()> settings)
    {
        m_rhythmSettings = std::move(settings);
    }

    /// Told after the window of a kind was entered (the microphone listens for it).
    void SetEntered(std::function<void(ExerciseKind)> entered) { m_entered = std::move(entered); }

    /// The setup pages: load fills the page of a kind from the current setup, store writes it
    /// back. Unset: the kinds have no page.
    void SetSetupPages(std::function<void(ExerciseKind)> load,
                       std::function<void(ExerciseKind)> store)
    {
        m_loadPage = std::move(load);
        m_storePage = std::move(store);
    }

    /// Setup pages and captions go to whoever shows them.
    void SetCaptionSink(std::function<void(const QString&)> sink) { m_captions = std::move(sink); }

    // IExerciseWindows
    void EnterExercise(ExerciseKind kind) override;
    void LeaveExercise(ExerciseKind kind) override;
    void StopRhythm(ExerciseKind kind) override;
    void LoadSetupPage(ExerciseKind kind) override;
    void StoreSetupPage(ExerciseKind kind) override;
    void ApplySetupToExercise(ExerciseKind kind, bool reset) override;
    void SetChildCaptions(const QString& caption) override;

private:
    const SetupState& m_setup;
    const ItemTables& m_items;
    std::function<AkkordSettings()> m_settings;
    std::function<RhythmExerciseSettings()> m_rhythmSettings;
    std::array<QPointer<TExerciseBaseClass>, 10> m_windows{};
    std::function<void(const QString&)> m_captions;
    std::function<void(ExerciseKind)> m_entered;
    std::function<void(ExerciseKind)> m_loadPage;
    std::function<void(ExerciseKind)> m_storePage;
};

} // namespace pv
