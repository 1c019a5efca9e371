// The score tool window's layout and the size label.
#include "shell/answerinput/ToolWindowLayouts.h"

#include <array>

namespace pv {

namespace {

constexpr int kTwoLinesAbove = 40;
constexpr int kLeastTwoLineWidth = 150;
constexpr int kLeastOneLineWidth = 200;
constexpr int kWideOneLine = 500;

/// The kinds whose score text needs more room than the gauge on a narrow window.
bool LongScoreText(std::optional<ExerciseKind> kind)
{
    if (!kind)
        return false;
    const int n = KindNumber(*kind);
    return n == 1 || n == 2 || n == 3 || n == 7 || n == 8 || n == 9 || n == 10;
}

} // namespace

ScoreLayout ToolWindow3Layout(const ScoreLayoutInput& in)
{
    const int w = in.Width;
    const int h = in.Height;
    const int left = in.Label15Left;
    ScoreLayout out;
    if (h > kTwoLinesAbove) {
        out.ClientWidth = w < kLeastTwoLineWidth ? kLeastTwoLineWidth : w;
        const int half = h / 2;
        out.Label15 = QRect(left, 2, w - 8, half - 2);
        const int offset = in.Label4Visible ? in.Label4Width + 4 : 0;
        out.Label4 = QRect(left, half + 2, in.Label4Width, half - 2);
        out.Gauge15 = QRect(left + offset, half + 2, w - 8 - offset, half - 2);
        return out;
    }
    out.ClientWidth = w < kLeastOneLineWidth ? kLeastOneLineWidth : w;
    const int textWidth = w < kWideOneLine && LongScoreText(in.Kind) ? w * 2 / 3 : w / 2;
    const int top = in.Label15Top;
    out.Label15 = QRect(left, top, textWidth, h - 4);
    const int textRight = left + textWidth;
    out.Label4 = QRect(textRight + 2, top, in.Label4Width, h - 4);
    const int offset = in.Label4Visible ? in.Label4Width + 4 : 0;
    out.Gauge15 = QRect(textRight + 2 + offset, top, w - textRight - 3 - offset, h - 4);
    return out;
}

QString WindowSizeText(int width, int height)
{
    return QStringLiteral("%1x%2").arg(width).arg(height);
}

int NextWindowSizeTag(int tag)
{
    return tag == 0 || tag == 1 ? tag + 1 : 0;
}

QSize WindowSizeOfTag(int tag)
{
    static constexpr std::array<QSize, 3> kSizes = {QSize(640, 480), QSize(800, 574),
                                                    QSize(1024, 742)};
    return tag >= 0 && tag < static_cast<int>(kSizes.size()) ? kSizes[static_cast<std::size_t>(tag)]
                                                             : kSizes[0];
}

} // namespace pv
