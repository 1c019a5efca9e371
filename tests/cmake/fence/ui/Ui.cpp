// A widgets library: no headless library may reach it.
#include <QWidget>

void FenceUiHide(QWidget& widget)
{
    widget.hide();
}
