// The start menu's text area without any widget.
#include "shell/startmenu/StartMenuModel.h"

#include <utility>

namespace pv {

namespace {

constexpr int kKindCount = 10;

} // namespace

StartMenuModel::StartMenuModel(TextWidth textWidth, int paintBoxWidth, int paintBoxHeight,
                               bool ignoreHover)
    : ScrollY(paintBoxHeight / 2), m_textWidth(std::move(textWidth)),
      m_paintBoxWidth(paintBoxWidth), m_paintBoxHeight(paintBoxHeight), m_ignoreHover(ignoreHover)
{
}

bool StartMenuModel::HoverIgnoredFor(const QStringList& arguments)
{
    return arguments.size() > 1 && arguments.at(1) == QStringLiteral("+");
}

void StartMenuModel::ClearDescriptions()
{
    Descriptions.clear();
}

void StartMenuModel::AddLine(const QString& text)
{
    Descriptions.append(text);
}

void StartMenuModel::AddDescription(const QString& text)
{
    WrapText(text, Descriptions);
}

void StartMenuModel::MarkScrollStop()
{
    ScrollStopLine = static_cast<int>(Descriptions.size());
}

void StartMenuModel::WrapText(const QString& text, QStringList& list) const
{
    const int maxWidth = m_paintBoxWidth - kWrapMargin;
    QString line;
    // Single blanks separate the words: two blanks in a row keep an empty word, as typed.
    for (const QString& word : text.split(QLatin1Char(' '))) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (m_textWidth(longer) > maxWidth && !line.isEmpty()) {
            list.append(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty())
        list.append(line);
}

void StartMenuModel::Start(int lineHeight)
{
    LineHeight = lineHeight > 0 ? lineHeight : 1;
    Timer1Tag = 1;
    if (ScrollStopLine == 0 || ScrollStopLine >= Descriptions.size()) {
        ScrollStopLine = -1;
        for (int i = static_cast<int>(Descriptions.size()) - 1; i >= 0; --i) {
            if (!Descriptions.at(i).isEmpty()) {
                ScrollStopLine = i;
                break;
            }
        }
    }
    Timer1Enabled = !StopReached();
}

bool StartMenuModel::StopReached() const
{
    // The stop line has reached the top. Testing only when a line leaves would scroll a text
    // whose stop is its first line (a welcome text of one line) out of sight.
    return FirstLine > ScrollStopLine || (FirstLine == ScrollStopLine && ScrollY <= 0);
}

void StartMenuModel::Timer1Timer()
{
    ScrollY -= 1;
    if (ScrollY <= -LineHeight) {
        ScrollY = 0;
        FirstLine += 1;
    }
    if (StopReached())
        Timer1Enabled = false;
}

bool StartMenuModel::Hover(int tag, const KindDescription& description)
{
    if (m_ignoreHover || tag == HoverKind)
        return false;
    HoverKind = tag;
    if (tag >= 1 && tag <= kKindCount) {
        Timer1Enabled = false;
        HoverLines.clear();
        WrapText(description ? description(tag) : QString(), HoverLines);
    } else if (tag == kNoKind && !StopReached()) {
        Timer1Enabled = true;
    }
    return true;
}

void StartMenuModel::FormActivate()
{
    if (Timer1Tag > 0 && !StopReached())
        Timer1Enabled = true;
}

void StartMenuModel::FormDeactivate()
{
    Timer1Enabled = false;
    if (FirstLine >= Descriptions.size())
        FirstLine = 0;
}

} // namespace pv
