// Deciding, making and showing the first-run wizard.
#include "shell/wizard/ConfigWizardService.h"

#include "music/base/Prompts.h"
#include "music/strings/UIStrings.h"

#include <utility>

namespace pv {

ConfigWizardService::ConfigWizardService(ConfigWizardContext context) : m_c(std::move(context)) {}

ConfigWizardService::~ConfigWizardService()
{
    Release();
}

void ConfigWizardService::Release()
{
    // The window goes before the model it shows.
    m_dialog.reset();
    m_model.reset();
}

void ConfigWizardService::ShowConfigWizard()
{
    const bool firstRun = m_c.FirstRun ? m_c.FirstRun() : true;
    const ConfigWizardPlan plan =
        PlanConfigWizard(m_c.Settings.KindPairs[0][0] != 0, firstRun, m_c.Devices.Outputs());
    if (plan.NoDeviceMessage)
        m_c.Prompts.ShowMessage(m_c.Strings.StrNoMidiOutDevice);
    // Settings applied again before the first show decide again: one wizard at most.
    Release();
    // A wizard with no page to show would be an empty window: none is made.
    if (plan.Pages.empty())
        return;
    m_model = std::make_unique<ConfigWizardModel>(m_c.Settings, m_c.Devices, plan.Pages);
    if (m_c.MakeDialog)
        m_dialog = m_c.MakeDialog(*m_model);
    if (!m_dialog)
        m_model.reset();
}

bool ConfigWizardService::Show()
{
    if (!m_dialog)
        return false;
    m_model->ListOutputs();
    const bool finished = m_dialog->Exec();
    if (finished)
        m_model->StoreOnFinish(m_c.ScreenHeight ? m_c.ScreenHeight() : 0);
    else
        m_model->TestNoteDone();
    Release();
    return finished;
}

} // namespace pv
