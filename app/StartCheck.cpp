// The start check of an installation.
#include "StartCheck.h"

#include "shell/startmenu/ui/TMenuDialog.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"

#include <cstdio>

#include <QDialog>
#include <QDir>
#include <QSaveFile>

namespace pv {

void StartCheckPrompts::Say(const char* kind, const QString& text)
{
    std::fprintf(stderr, "pellivark: start check: %s: %s\n", kind, qUtf8Printable(text));
}

std::unique_ptr<StartCheck> StartCheck::FromEnvironment()
{
    const QString folder = qEnvironmentVariable(kStartCheckVariable);
    if (folder.isEmpty())
        return nullptr;
    return std::unique_ptr<StartCheck>(new StartCheck(QDir(folder).absolutePath()));
}

void StartCheck::Prepare(ProgramOptions& options)
{
    options.Prompts = &m_prompts;
    // A dialog (the setup chooser of a first start) would wait for a user who is not there,
    // and the check's close could not end it: each is left as Cancel leaves it.
    options.RunDialog = [](QDialog& dialog) {
        std::fprintf(stderr, "pellivark: start check: dialog %s cancelled\n",
                     qUtf8Printable(dialog.objectName()));
        return static_cast<int>(QDialog::Rejected);
    };
    options.OfferConfigWizard = false;
}

void StartCheck::Watch(PellivarkProgram& program)
{
    // The start menu is the view the first show ends on; the check looks for it as the event
    // loop runs rather than hooking into the windows it checks.
    m_poll.setInterval(50);
    QObject::connect(&m_poll, &QTimer::timeout, this, [this, &program] {
        if (program.MainWindow().ShownView() != &program.StartMenu())
            return;
        m_poll.stop();
        Report(program);
        program.MainWindow().close();
    });
    m_poll.start();
}

void StartCheck::Report(PellivarkProgram& program)
{
    const Folders& folders = program.Data().folders;
    const QString text = QStringLiteral("program folder: %1\ndata folder: %2\n")
                             .arg(folders.ProgramFolder, folders.DataFolder);
    QDir().mkpath(m_folder);
    QSaveFile report(m_folder + QStringLiteral("/start-check.txt"));
    const QByteArray bytes = text.toUtf8();
    const bool written =
        report.open(QIODevice::WriteOnly) && report.write(bytes) == bytes.size() && report.commit();
    const bool pictured =
        program.MainWindow().grab().save(m_folder + QStringLiteral("/start-menu.png"), "PNG");
    if (!written || !pictured)
        std::fprintf(stderr, "pellivark: the start check could not write its report in %s\n",
                     qUtf8Printable(m_folder));
}

} // namespace pv
