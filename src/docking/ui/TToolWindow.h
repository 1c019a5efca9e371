// The bar with a free client area: any widget can be its client, and it keeps one client size
// whether docked or floating (a dock may stretch it across a row, but never remembers that).
#pragma once

#include "docking/ui/TCustomToolWindow.h"

#include <QPointer>

namespace pv::docking {

class TToolWindow : public TCustomToolWindow
{
    Q_OBJECT
public:
    /// A 32 x 32 bar; parent, when given, is where it goes (`SetParent`).
    explicit TToolWindow(QWidget* parent = nullptr);

    /// The widget that fills the client area; the bar takes it over. The client size is the
    /// bar's own: set it with `SetClientAreaSize`.
    void SetClient(QWidget* client);
    QWidget* Client() const { return m_client; }

    /// The smallest client size a floating resize may reach.
    int MinClientWidth() const { return m_minClientWidth; }
    void SetMinClientWidth(int width) { m_minClientWidth = width; }
    int MinClientHeight() const { return m_minClientHeight; }
    void SetMinClientHeight(int height) { m_minClientHeight = height; }

    /// The remembered client size.
    int BarWidth() const { return m_barWidth; }
    int BarHeight() const { return m_barHeight; }

    /// The client size now (the window's size for a bar without a parent).
    int ClientAreaWidth() const;
    int ClientAreaHeight() const;
    void SetClientAreaWidth(int width);
    void SetClientAreaHeight(int height);
    /// Sizes the window so that its client has that size where the bar is now.
    void SetClientAreaSize(int width, int height);

    int GetBarCrossSize(DockType dockType) const override;
    QSize GetMinClientSize() const override;
    QSize ArrangeClientArea(bool canMove, DockType dockType, TDock* newDock) override;
    void StoreClientSize(int width, int height) override;

protected:
    void AlignControls() override;
    bool IsTransparentChild(const QWidget* child) const override;

private:
    QPointer<QWidget> m_client;
    int m_minClientWidth = 32;
    int m_minClientHeight = 32;
    int m_barHeight = 32;
    int m_barWidth = 32;
};

} // namespace pv::docking
