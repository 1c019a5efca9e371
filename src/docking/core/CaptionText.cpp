// Caption elision.
#include "docking/core/CaptionText.h"

namespace pv::docking {

QString ElideCaption(const QString& caption, int width,
                     const std::function<int(const QString&)>& textWidth)
{
    if (caption.isEmpty() || textWidth(caption) <= width)
        return caption;
    const QString dots = QStringLiteral("...");
    // The first character is one code point: a surrogate pair stays whole.
    const qsizetype first = caption.size() > 1 && caption.at(0).isHighSurrogate() ? 2 : 1;
    qsizetype kept = caption.size();
    while (kept > first) {
        // Never split a surrogate pair at the cut either.
        --kept;
        if (kept > first && caption.at(kept).isLowSurrogate())
            --kept;
        const QString text = caption.left(kept) + dots;
        if (textWidth(text) <= width)
            return text;
    }
    return caption.left(first) + dots;
}

} // namespace pv::docking
