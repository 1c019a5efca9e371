// The program's version and the texts the splash window shows of it.
#include "shell/startmenu/ProgramVersion.h"

#include "PellivarkVersion.h"

namespace pv {

ProgramVersion ReadVersionInfo()
{
    return {build::kVersionMajor, build::kVersionMinor, build::kVersionRelease,
            build::kVersionBuild};
}

QString VersionText(const ProgramVersion& version)
{
    QString text = QStringLiteral("%1.%2").arg(version.Major).arg(version.Minor);
    if (version.Release != 0)
        text += QString::number(version.Release);
    return text;
}

QString SplashTitle(const ProgramVersion& version)
{
    return QStringLiteral("Pellivark Pro ") + VersionText(version);
}

QString BuildText(const ProgramVersion& version)
{
    return QStringLiteral("(build %1)").arg(version.Build);
}

} // namespace pv
