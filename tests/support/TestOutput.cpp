// The test-output folder.
#include "support/TestOutput.h"

#include <QDir>

namespace pv::test {

QString TestOutputDir()
{
    QString dir = qEnvironmentVariable("PELLIVARK_TEST_OUTPUT");
    if (dir.isEmpty())
        dir = QStringLiteral(PV_TEST_OUTPUT_DIR);
    QDir().mkpath(dir);
    return dir + QLatin1Char('/');
}

} // namespace pv::test
