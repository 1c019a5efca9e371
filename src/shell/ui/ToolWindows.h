// The main window's six tool windows behind one small interface: the main window and its
// commands place controls on them and show or hide them without knowing how they dock.
#pragma once

#include "music/files/SettingsRecord.h"

#include <array>
#include <functional>

#include <QSize>

class QAction;
class QWidget;

namespace pv {

namespace docking {
class DockSite;
class TToolWindow;
} // namespace docking

class IToolWindows
{
public:
    static constexpr int kCount = 6;
    virtual ~IToolWindows() = default;
    /// Puts a control at the end of tool window n (n 0..5), which takes it over. The control
    /// is shown and hidden through the action that comes back (null for no such window).
    virtual QAction* AddControl(int n, QWidget* control) = 0;
    /// A divider at the end of tool window n.
    virtual void AddSeparator(int n) = 0;
    /// Shows or hides tool window n now; changes nothing when it is so already.
    virtual void SetToolWindowVisible(int n, bool visible) = 0;
    virtual bool ToolWindowVisible(int n) const = 0;
    /// Where tool window n stands now, as the settings record keeps it (Visible is not set:
    /// the settings hold the user's choice, the view decides what shows).
    virtual ToolWindowPlacement Placement(int n) const = 0;
    /// Docks tool window n as placement says (its visibility is left to the view).
    virtual void RestorePlacement(int n, const ToolWindowPlacement& placement) = 0;
};

/// The tool windows as bars in a top and a bottom dock around the main window's work area:
/// 0, 2, 1 at the top, 3, 5, 4 at the bottom by default. The user drags them into other rows,
/// the other dock or out to float above the main window.
class DockToolWindows final : public IToolWindows
{
public:
    /// Puts the docks around workArea as the window's central widget.
    DockToolWindows(QWidget& window, QWidget* workArea);

    QAction* AddControl(int n, QWidget* control) override;
    void AddSeparator(int n) override;
    void SetToolWindowVisible(int n, bool visible) override;
    bool ToolWindowVisible(int n) const override;
    ToolWindowPlacement Placement(int n) const override;
    void RestorePlacement(int n, const ToolWindowPlacement& placement) override;

    /// Placing several bars lays the docks out once, at the last end.
    void BeginUpdate();
    void EndUpdate();
    /// Called with n when the user closes tool window n with its close button (it is hidden
    /// by then). Hides by the program never call it.
    void SetOnUserClose(std::function<void(int n)> onClose) { m_onUserClose = std::move(onClose); }

    docking::DockSite& Site() const { return *m_site; }
    docking::TToolWindow* Bar(int n) const;

private:
    /// Sizes bar n to hold its controls when they need more room than it has.
    void FitToControls(int n);

    docking::DockSite* m_site;
    std::array<docking::TToolWindow*, kCount> m_bars{};
    std::array<QWidget*, kCount> m_clients{};
    std::array<QSize, kCount> m_fittedHints{};
    std::function<void(int)> m_onUserClose;
};

} // namespace pv
