// Composition root of Pellivark: one copy per user, the splash, the program's services and
// windows, the event loop.
#include "StartCheck.h"
#include "music/base/Log.h"
#include "music/base/ThreadScheduling.h"
#include "music/files/Folders.h"
#include "shell/startmenu/ProgramVersion.h"
#include "shell/startmenu/ui/TVelkommen.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/SingleInstance.h"
#include "shell/ui/TPellivarkMain.h"

#include <memory>

#include <QApplication>
#include <QPointer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The GUI thread answers every MIDI key (the echo and the answer logic live there): on a
    // busy machine it must wake for a posted key at once, not when a computing thread's slice
    // ends. Threads started from here on begin with the ordinary slice.
    const pv::SliceReport slice = pv::AskForShortSlice();
    qCInfo(lcPellivark, "GUI thread: %s", pv::SliceOutcomeName(slice.outcome));
    QApplication::setApplicationName(QStringLiteral("Pellivark"));
    QApplication::setOrganizationName(QStringLiteral("Orvanta"));
    QApplication::setApplicationVersion(pv::VersionText(pv::ReadVersionInfo()));
    // The desktop matches the windows to the installed desktop entry (its icon, its name) by
    // this id.
    QGuiApplication::setDesktopFileName(QStringLiteral(PELLIVARK_APP_ID));

    // A second start only brings the running copy to the front.
    QPointer<pv::TPellivarkMain> mainWindow;
    const auto raise = [&mainWindow] {
        if (!mainWindow)
            return;
        if (mainWindow->isMinimized())
            mainWindow->showNormal();
        mainWindow->raise();
        mainWindow->activateWindow();
    };
    std::unique_ptr<pv::SingleInstance> instance;
    if (const auto folder = pv::SingleInstance::PrivateFolder()) {
        instance = std::make_unique<pv::SingleInstance>(folder.Value());
        const pv::SingleInstance::Start start = instance->Begin(raise);
        qCInfo(lcPellivark, "Single instance: %s", pv::StartName(start));
        if (start == pv::SingleInstance::Start::Raised)
            return 0;
    } else {
        qCWarning(lcPellivark, "No private folder for the single-instance guard (%s)",
                  qUtf8Printable(folder.Detail()));
    }

    // The splash is shown and painted before the windows are made.
    auto splash = std::make_unique<pv::TVelkommen>();
    splash->setObjectName(QStringLiteral("SplashForm"));
    splash->ShowAtStartUp();

    pv::ProgramOptions options;
    options.ProgramFolders = pv::ChooseFoldersOfApplication();
    const QStringList arguments = QApplication::arguments();
    options.CommandLineArgument = arguments.size() > 1 ? arguments[1] : QString();
    options.OfferConfigWizard = true;
    options.HideSplash = [&splash] {
        if (splash)
            splash->hide();
    };
    const std::unique_ptr<pv::StartCheck> startCheck = pv::StartCheck::FromEnvironment();
    if (startCheck)
        startCheck->Prepare(options);
    int result = 1;
    {
        pv::PellivarkProgram program(std::move(options));
        if (!program.Failed()) {
            mainWindow = &program.MainWindow();
            program.MainWindow().show();
            if (startCheck)
                startCheck->Watch(program);
            result = QApplication::exec();
        }
    }
    splash.reset();
    return result;
}
