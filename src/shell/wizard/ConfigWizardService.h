// The first-run wizard as the program meets it: decided after every application of the
// settings (and then pending), shown modally by the main window's first show, released after.
#pragma once

#include "shell/main/MainWindowUi.h"
#include "shell/settings/ProgramSettingsApplier.h"
#include "shell/wizard/ConfigWizardModel.h"

#include <functional>
#include <memory>

namespace pv {

class IPrompts;
struct UIStringTable;

/// The wizard's window over its model.
class IConfigWizardDialog
{
public:
    virtual ~IConfigWizardDialog() = default;
    /// Shows the pages and runs the window modally; true when it was closed with the finish
    /// button.
    virtual bool Exec() = 0;
};

/// What the wizard works with; the references must outlive it.
struct ConfigWizardContext
{
    TSettingsRec& Settings; ///< `ProgramSettings`
    IConfigWizardDevices& Devices;
    IPrompts& Prompts;
    const UIStringTable& Strings;
    /// `FirstRun`: this is the program's first run on this account.
    std::function<bool()> FirstRun;
    /// The screen's height in pixels, read when the wizard finishes.
    std::function<int()> ScreenHeight;
    /// Makes the wizard's window over the model; null when it cannot be made.
    std::function<std::unique_ptr<IConfigWizardDialog>(ConfigWizardModel&)> MakeDialog;
};

class ConfigWizardService final : public IConfigWizardMaker, public IConfigWizard
{
public:
    explicit ConfigWizardService(ConfigWizardContext context);
    ~ConfigWizardService() override;

    /// `ShowConfigWizard`: makes the wizard with the pages this start needs (telling the user
    /// when there is no output device at all), or none.
    void ShowConfigWizard() override;
    /// `ConfigWizardPending`.
    bool Pending() const override { return m_dialog != nullptr; }
    /// Shows the pending wizard; true when it was finished (its choices are then in the
    /// settings). It is released either way.
    bool Show() override;
    /// The pending wizard's model; null when none is pending.
    ConfigWizardModel* Model() const { return m_model.get(); }

private:
    void Release();

    ConfigWizardContext m_c;
    std::unique_ptr<ConfigWizardModel> m_model;
    std::unique_ptr<IConfigWizardDialog> m_dialog;
};

} // namespace pv
