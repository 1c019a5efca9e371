// A headless library on Qt Core only.
#include <QString>

int FenceCoreLength(const QString& text)
{
    return static_cast<int>(text.size());
}
