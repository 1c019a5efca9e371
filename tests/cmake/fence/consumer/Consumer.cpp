// Widgets code using a headless library.
#include <QWidget>

int FenceUser();

void FenceConsumerShow(QWidget& widget)
{
    if (FenceUser() > 0)
        widget.show();
}
