// The headless library under test.
#include <QString>

int FenceCoreLength(const QString& text);

int FenceUser()
{
    return FenceCoreLength(QStringLiteral("fence"));
}
