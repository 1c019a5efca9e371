// The client-area bar.
#include "docking/ui/TToolWindow.h"

#include <algorithm>

namespace pv::docking {

TToolWindow::TToolWindow(QWidget* parent)
{
    setObjectName(QStringLiteral("TToolWindow"));
    SetBounds(x(), y(), 32, 32);
    if (parent != nullptr)
        SetParent(parent);
}

void TToolWindow::SetClient(QWidget* client)
{
    if (m_client == client)
        return;
    if (m_client)
        m_client->deleteLater();
    m_client = client;
    if (client != nullptr) {
        client->setParent(this);
        client->show();
    }
    AlignControls();
}

int TToolWindow::ClientAreaWidth() const
{
    return parentWidget() != nullptr ? ClientWidth() : width();
}

int TToolWindow::ClientAreaHeight() const
{
    return parentWidget() != nullptr ? ClientHeight() : height();
}

void TToolWindow::SetClientAreaWidth(int width)
{
    SetClientAreaSize(width, ClientAreaHeight());
}

void TToolWindow::SetClientAreaHeight(int height)
{
    SetClientAreaSize(ClientAreaWidth(), height);
}

void TToolWindow::SetClientAreaSize(int width, int height)
{
    if (parentWidget() != nullptr) {
        const QMargins nc = NonClientMargins();
        width += nc.left() + nc.right();
        height += nc.top() + nc.bottom();
    }
    SetBounds(x(), y(), width, height);
}

int TToolWindow::GetBarCrossSize(DockType dockType) const
{
    return dockType == DockType::Vertical ? m_barWidth : m_barHeight;
}

QSize TToolWindow::GetMinClientSize() const
{
    return QSize(m_minClientWidth, m_minClientHeight);
}

QSize TToolWindow::ArrangeClientArea(bool, DockType, TDock*)
{
    return QSize(m_barWidth, m_barHeight);
}

void TToolWindow::StoreClientSize(int width, int height)
{
    if (parentWidget() != nullptr) {
        const QMargins nc = NonClientMargins();
        width -= nc.left() + nc.right();
        height -= nc.top() + nc.bottom();
    }
    // A client is at least a pixel: a stored size can be anything.
    m_barWidth = std::max(1, width);
    m_barHeight = std::max(1, height);
}

void TToolWindow::AlignControls()
{
    if (m_client)
        m_client->setGeometry(ClientRect());
}

bool TToolWindow::IsTransparentChild(const QWidget* child) const
{
    // The client widget stands for the bar's own client area; the controls on it are what
    // a press must not start a drag from.
    return child == m_client;
}

} // namespace pv::docking
