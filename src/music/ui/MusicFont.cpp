// Loading the music font once, for every painter of the program.
#include "music/ui/MusicFont.h"

#include <algorithm>

#include <QFontDatabase>
#include <QFontInfo>

namespace pv {

namespace {

const QString kMusicFamily = QStringLiteral("Noto Music");
const QString kMusicFontFile =
    QStringLiteral("/usr/share/fonts/truetype/noto/NotoMusic-Regular.ttf");

} // namespace

QFont MusicSymbolFont(int pixelSize)
{
    // Fonts are added once per process: a second addition would register the file again.
    static const bool loaded = [] {
        if (QFontInfo(QFont(kMusicFamily)).family() == kMusicFamily)
            return true;
        return QFontDatabase::addApplicationFont(kMusicFontFile) >= 0;
    }();
    (void)loaded;
    QFont font(kMusicFamily);
    font.setPixelSize(std::max(1, pixelSize));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

bool MusicFontAvailable()
{
    return QFontInfo(MusicSymbolFont(40)).family() == kMusicFamily;
}

} // namespace pv
