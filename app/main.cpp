// Composition root of Pellivark: one copy per user, the splash, the program's services and
// windows, the event loop.
#include "music/files/Folders.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/SingleInstance.h"
#include "shell/ui/SplashStandIn.h"
#include "shell/ui/TPellivarkMain.h"

#include <QApplication>
#include <QPointer>
#include <QSplashScreen>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellivark"));
    QApplication::setOrganizationName(QStringLiteral("Orvanta"));
    QApplication::setApplicationVersion(QStringLiteral(PELLIVARK_VERSION));

    // A second start only brings the running copy to the front.
    pv::SingleInstance instance(pv::SingleInstance::DefaultServerName());
    if (instance.RaiseRunningInstance())
        return 0;
    QPointer<pv::TPellivarkMain> mainWindow;
    instance.Listen([&mainWindow] {
        if (!mainWindow)
            return;
        if (mainWindow->isMinimized())
            mainWindow->showNormal();
        mainWindow->raise();
        mainWindow->activateWindow();
    });

    std::unique_ptr<QSplashScreen> splash = pv::ShowSplash(QApplication::applicationVersion());

    pv::ProgramOptions options;
    options.ProgramFolders = pv::ChooseFoldersOfApplication();
    const QStringList arguments = QApplication::arguments();
    options.CommandLineArgument = arguments.size() > 1 ? arguments[1] : QString();
    options.HideSplash = [&splash] {
        if (splash)
            splash->hide();
    };
    int result = 1;
    {
        pv::PellivarkProgram program(std::move(options));
        if (!program.Failed()) {
            mainWindow = &program.MainWindow();
            program.MainWindow().show();
            result = QApplication::exec();
        }
    }
    splash.reset();
    return result;
}
