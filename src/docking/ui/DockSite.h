// The pair of docks a main window puts around its work area (`Topdock` above, `Bottomdock`
// below), and the bars' placement as the settings record keeps it: dock code 0 floating,
// 1 `Topdock`, 3 `Bottomdock`.
#pragma once

#include "docking/ui/TDock.h"
#include "music/files/SettingsRecord.h"

#include <cstdint>

#include <QPointer>
#include <QWidget>

class QVBoxLayout;

namespace pv::docking {

class TCustomToolWindow;

class DockSite final : public QWidget
{
    Q_OBJECT
public:
    static constexpr std::uint8_t kFloatingCode = 0;
    static constexpr std::uint8_t kTopdockCode = 1;
    static constexpr std::uint8_t kBottomdockCode = 3;

    /// The docks with the work area between them (the work area can come later).
    explicit DockSite(QWidget* workArea = nullptr, QWidget* parent = nullptr);

    TDock* Topdock() const { return m_topdock; }
    TDock* Bottomdock() const { return m_bottomdock; }
    /// The widget between the docks; the site takes it over and lets go of the one before.
    void SetWorkArea(QWidget* workArea);
    QWidget* WorkArea() const { return m_workArea; }

    /// Both docks' `BeginUpdate` and `EndUpdate`: placing several bars lays out once.
    void BeginUpdate();
    void EndUpdate();

    /// Writes where the bar stands into a settings entry: its bounds (in its dock, or on the
    /// screen when it floats), row, position and dock code. The visible byte is not touched:
    /// it follows the user's own showing and hiding, not where the bar is.
    void StorePlacement(const TCustomToolWindow& bar, ToolWindowPlacement& entry) const;
    /// Puts the bar where a settings entry says: its row and position, its dock (an unknown
    /// code leaves it where it is), its bounds, then laid out and kept on the screens. Values
    /// from a damaged file give a bar that is on a screen and of a usable size: the row within
    /// 0..5, the position within -1..32767, the size at least the bar's smallest client, and a
    /// size larger than the screen's work area replaced by the bar's own. Its visibility is
    /// left as it is.
    void RestorePlacement(TCustomToolWindow& bar, const ToolWindowPlacement& entry);

private:
    TDock* m_topdock;
    TDock* m_bottomdock;
    QPointer<QWidget> m_workArea;
    QVBoxLayout* m_layout;
};

} // namespace pv::docking
