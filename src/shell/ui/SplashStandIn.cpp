// The splash window's stand-in.
#include "shell/ui/SplashStandIn.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSplashScreen>

namespace pv {

std::unique_ptr<QSplashScreen> ShowSplash(const QString& version)
{
    QPixmap picture(420, 220);
    picture.fill(QColor(0x23, 0x3a, 0x5e));
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::white);
        QFont title = QApplication::font();
        title.setPointSize(30);
        title.setBold(true);
        painter.setFont(title);
        painter.drawText(QRect(0, 40, picture.width(), 70), Qt::AlignCenter,
                         QStringLiteral("Pellivark"));
        QFont small = QApplication::font();
        small.setPointSize(11);
        painter.setFont(small);
        painter.drawText(QRect(0, 115, picture.width(), 30), Qt::AlignCenter,
                         QStringLiteral("Ear training"));
        painter.drawText(QRect(0, 170, picture.width() - 16, 30), Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("Version %1").arg(version));
    }
    auto splash = std::make_unique<QSplashScreen>(picture);
    splash->setObjectName(QStringLiteral("SplashForm"));
    splash->show();
    // Shown and painted at once: the windows are made before the event loop runs.
    splash->repaint();
    QApplication::processEvents();
    return splash;
}

} // namespace pv
