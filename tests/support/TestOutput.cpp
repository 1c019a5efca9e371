// The test-output folder.
#include "support/TestOutput.h"

#include <QDir>

namespace pv::test {

QString TestOutputDir()
{
    QString dir = qEnvironmentVariable("PELLIVARK_TEST_OUTPUT");
    if (dir.isEmpty())
        dir = QDir::currentPath() + QStringLiteral("/test-output");
    QDir().mkpath(dir);
    return dir + QLatin1Char('/');
}

} // namespace pv::test
