// The main window's six tool windows behind one small interface, so a docking layer of its own
// can take their place later without the main window changing.
#pragma once

#include "music/files/SettingsRecord.h"

#include <array>

class QAction;
class QMainWindow;
class QToolBar;
class QWidget;

namespace pv {

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

/// The tool windows as plain Qt tool bars of the main window: 0, 2, 1 at the top, 3, 5, 4 at
/// the bottom, none of them closable by the user.
class ToolBarToolWindows final : public IToolWindows
{
public:
    explicit ToolBarToolWindows(QMainWindow& window);

    QAction* AddControl(int n, QWidget* control) override;
    void AddSeparator(int n) override;
    void SetToolWindowVisible(int n, bool visible) override;
    bool ToolWindowVisible(int n) const override;
    ToolWindowPlacement Placement(int n) const override;
    void RestorePlacement(int n, const ToolWindowPlacement& placement) override;

    QToolBar* Bar(int n) const;

private:
    QMainWindow& m_window;
    std::array<QToolBar*, kCount> m_bars{};
};

} // namespace pv
