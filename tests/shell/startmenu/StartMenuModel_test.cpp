// The start menu's text area: word wrap, where the welcome text stops scrolling, the hover
// description and how it hands the text area back, and the "+" argument.
#include "shell/startmenu/StartMenuModel.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr int kCharWidth = 6;
// 100 pixels less the margin of 13 leave 87: fourteen characters fit, fifteen do not.
constexpr int kBoxWidth = 100;
constexpr int kBoxHeight = 40;

StartMenuModel MakeModel(bool ignoreHover = false)
{
    return StartMenuModel(
        [](const QString& text) { return static_cast<int>(text.size()) * kCharWidth; }, kBoxWidth,
        kBoxHeight, ignoreHover);
}

QString DescriptionOf(int kind)
{
    return QStringLiteral("kind %1 trains the ear in many small steps").arg(kind);
}

/// Ticks the scroll timer until it stops (or a bound far beyond any text here).
int TicksUntilStopped(StartMenuModel& model)
{
    int ticks = 0;
    while (model.Timer1Enabled && ticks < 100000) {
        model.Timer1Timer();
        ++ticks;
    }
    return ticks;
}

TEST(StartMenuModel, WrapsWordsIntoLinesThatFitTheTextArea)
{
    struct Case
    {
        const char* name;
        QString text;
        QStringList lines;
    };
    const Case cases[] = {
        {"empty text adds nothing", QString(), {}},
        {"fits on one line", QStringLiteral("one two three"), {QStringLiteral("one two three")}},
        {"exactly the width stays",
         QStringLiteral("aaaa bbbb cccc dddd"),
         {QStringLiteral("aaaa bbbb cccc"), QStringLiteral("dddd")}},
        {"a word longer than a line stands alone, no empty line before it",
         QStringLiteral("abcdefghijklmnopqrst xy"),
         {QStringLiteral("abcdefghijklmnopqrst"), QStringLiteral("xy")}},
        {"many lines",
         QStringLiteral("ab cd ef gh ij kl mn op qr st uv"),
         {QStringLiteral("ab cd ef gh ij"), QStringLiteral("kl mn op qr st"),
          QStringLiteral("uv")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StartMenuModel model = MakeModel();
        QStringList lines{QStringLiteral("kept")};
        model.WrapText(c.text, lines);
        QStringList expected{QStringLiteral("kept")};
        expected += c.lines;
        EXPECT_EQ(lines, expected);
        // Only a single word may be wider than the area.
        for (const QString& line : lines.mid(1)) {
            if (line.contains(QLatin1Char(' '))) {
                EXPECT_LE(line.size() * kCharWidth, kBoxWidth - StartMenuModel::kWrapMargin);
            }
        }
    }
}

TEST(StartMenuModel, LoaderTextsBuildTheWelcomeTextInOrder)
{
    StartMenuModel model = MakeModel();
    model.AddLine(QStringLiteral("Welcome to a program with a very long heading line"));
    model.AddDescription(QStringLiteral("ab cd ef gh ij kl"));
    model.AddLine(QString());
    EXPECT_EQ(model.Descriptions,
              (QStringList{QStringLiteral("Welcome to a program with a very long heading line"),
                           QStringLiteral("ab cd ef gh ij"), QStringLiteral("kl"), QString()}));
    model.ClearDescriptions();
    EXPECT_TRUE(model.Descriptions.isEmpty());
}

TEST(StartMenuModel, ScrollingStopsWhereTheLanguageFileSaysOrAtTheLastNonEmptyLine)
{
    struct Case
    {
        const char* name;
        bool markBeforeLast; // the loader marked the stop before the last text
        bool markAtEnd;      // a mark with no line after it
        int trailingEmpty;
        int expectedStop;
    };
    // Lines: 0 heading, 1 empty, 2..3 first text, then the last text on 4..5, then empties.
    const Case cases[] = {
        {"marked: the last text's first line reaches the top", true, false, 0, 4},
        {"not marked: the last non-empty line", false, false, 0, 5},
        {"not marked, empty lines at the end are skipped", false, false, 3, 5},
        {"a mark beyond the last line counts as none", false, true, 2, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartMenuModel model = MakeModel();
        model.AddLine(QStringLiteral("Heading"));
        model.AddLine(QString());
        model.AddDescription(QStringLiteral("ab cd ef gh ij kl mn"));
        if (c.markBeforeLast)
            model.MarkScrollStop();
        model.AddDescription(QStringLiteral("op qr st uv wx yz ab"));
        for (int i = 0; i < c.trailingEmpty; ++i)
            model.AddLine(QString());
        if (c.markAtEnd)
            model.MarkScrollStop();
        model.Start(12);
        EXPECT_EQ(model.ScrollStopLine, c.expectedStop);
        EXPECT_TRUE(model.Timer1Enabled);
        TicksUntilStopped(model);
        EXPECT_FALSE(model.Timer1Enabled);
        EXPECT_EQ(model.FirstLine, c.expectedStop) << "the stop line is the first line drawn";
        EXPECT_EQ(model.ScrollY, 0) << "at the top of the area";
    }
}

TEST(StartMenuModel, AOneLineTextStopsAtTheTopAndAnEmptyOneDoesNotScroll)
{
    StartMenuModel model = MakeModel();
    model.AddLine(QStringLiteral("Welcome"));
    model.Start(12);
    EXPECT_EQ(model.ScrollStopLine, 0);
    EXPECT_EQ(TicksUntilStopped(model), kBoxHeight / 2);
    EXPECT_EQ(model.FirstLine, 0) << "the only line stays in sight";
    EXPECT_EQ(model.ScrollY, 0);

    StartMenuModel empty = MakeModel();
    empty.Start(12);
    EXPECT_EQ(empty.ScrollStopLine, -1);
    EXPECT_FALSE(empty.Timer1Enabled);
}

TEST(StartMenuModel, LinesMoveUpOnePixelATickFromHalfTheHeight)
{
    StartMenuModel model = MakeModel();
    for (int i = 0; i < 6; ++i)
        model.AddLine(QStringLiteral("line %1").arg(i));
    EXPECT_EQ(model.ScrollY, kBoxHeight / 2);
    model.Start(10);
    for (int i = 0; i < kBoxHeight / 2 + 9; ++i)
        model.Timer1Timer();
    EXPECT_EQ(model.FirstLine, 0);
    EXPECT_EQ(model.ScrollY, -9) << "line 0 is still partly in sight";
    model.Timer1Timer();
    EXPECT_EQ(model.FirstLine, 1) << "line 0 has left: line 1 is drawn first, at the top";
    EXPECT_EQ(model.ScrollY, 0);
}

TEST(StartMenuModel, HoverShowsTheKindAndLeavingItResumesScrollingWhereItStopped)
{
    StartMenuModel model = MakeModel();
    for (int i = 0; i < 20; ++i)
        model.AddLine(QStringLiteral("line %1").arg(i));
    model.Start(10);
    for (int i = 0; i < 57; ++i)
        model.Timer1Timer();
    const int firstLine = model.FirstLine;
    const int scrollY = model.ScrollY;
    ASSERT_GT(firstLine, 0);

    EXPECT_TRUE(model.Hover(3, DescriptionOf));
    EXPECT_EQ(model.HoverKind, 3);
    EXPECT_FALSE(model.Timer1Enabled);
    EXPECT_EQ(model.HoverLines,
              (QStringList{QStringLiteral("kind 3 trains"), QStringLiteral("the ear in"),
                           QStringLiteral("many small"), QStringLiteral("steps")}));
    EXPECT_FALSE(model.Hover(3, DescriptionOf)) << "the same button again changes nothing";
    EXPECT_TRUE(model.Hover(8, DescriptionOf));
    EXPECT_EQ(model.HoverLines.first(), QStringLiteral("kind 8 trains"))
        << "the lines of the kind before are gone";

    EXPECT_TRUE(model.Hover(StartMenuModel::kNoKind, DescriptionOf));
    EXPECT_TRUE(model.Timer1Enabled);
    EXPECT_EQ(model.FirstLine, firstLine);
    EXPECT_EQ(model.ScrollY, scrollY);
    model.Timer1Timer();
    EXPECT_EQ(model.ScrollY, scrollY - 1) << "it goes on from where it was";
}

TEST(StartMenuModel, LeavingAButtonAfterScrollingEndedKeepsItStill)
{
    StartMenuModel model = MakeModel();
    model.AddLine(QStringLiteral("one"));
    model.AddLine(QStringLiteral("two"));
    model.Start(10);
    TicksUntilStopped(model);
    model.Hover(1, DescriptionOf);
    model.Hover(StartMenuModel::kNoKind, DescriptionOf);
    EXPECT_FALSE(model.Timer1Enabled);
}

TEST(StartMenuModel, WithPlusAsFirstArgumentHoverNeverShowsADescription)
{
    struct Case
    {
        QStringList arguments;
        bool ignored;
    };
    const Case cases[] = {
        {{QStringLiteral("pellivark"), QStringLiteral("+")}, true},
        {{QStringLiteral("pellivark")}, false},
        {{QStringLiteral("pellivark"), QStringLiteral("++")}, false},
        {{QStringLiteral("pellivark"), QStringLiteral("setup.qib"), QStringLiteral("+")}, false},
        {{}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(StartMenuModel::HoverIgnoredFor(c.arguments), c.ignored);
    }

    StartMenuModel model = MakeModel(true);
    for (int i = 0; i < 5; ++i)
        model.AddLine(QStringLiteral("line %1").arg(i));
    model.Start(10);
    EXPECT_FALSE(model.Hover(4, DescriptionOf));
    EXPECT_EQ(model.HoverKind, StartMenuModel::kNoKind);
    EXPECT_TRUE(model.HoverLines.isEmpty());
    EXPECT_TRUE(model.Timer1Enabled) << "scrolling never stops for a button";
}

TEST(StartMenuModel, TheFirstThreeLinesAreBoldWhateverTheyHold)
{
    for (int i = -1; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(StartMenuModel::BoldLine(i), i >= 0 && i <= 2);
    }
}

TEST(StartMenuModel, ActivationResumesAStartedScrollAndDeactivationRewindsAFinishedOne)
{
    StartMenuModel model = MakeModel();
    for (int i = 0; i < 4; ++i)
        model.AddLine(QStringLiteral("line %1").arg(i));
    model.FormActivate();
    EXPECT_FALSE(model.Timer1Enabled) << "not before the menu was started";

    model.Start(10);
    model.FormDeactivate();
    EXPECT_FALSE(model.Timer1Enabled);
    model.FormActivate();
    EXPECT_TRUE(model.Timer1Enabled);

    // Scrolled to its end, then beyond the last line by a language file with fewer lines.
    TicksUntilStopped(model);
    model.FormActivate();
    EXPECT_FALSE(model.Timer1Enabled) << "nothing left to scroll";
    model.ClearDescriptions();
    model.AddLine(QStringLiteral("short"));
    model.FormDeactivate();
    EXPECT_EQ(model.FirstLine, 0) << "a first line beyond the text starts again at the top";
}

} // namespace
} // namespace pv
