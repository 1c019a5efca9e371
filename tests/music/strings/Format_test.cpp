#include "music/strings/Format.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(Format, FillsSpecifiersWithTypedArguments)
{
    struct Case
    {
        const char* name;
        const char* fmt;
        std::initializer_list<FormatArg> args;
        const char* expected;
    };
    const QString dev = QStringLiteral("\"Synth\".\r\n");
    const Case cases[] = {
        {"text", "Open %s failed", {QStringLiteral("x")}, "Open x failed"},
        {"number", "%d of %d", {std::int64_t{3}, std::int64_t{10}}, "3 of 10"},
        {"negative", "%d", {std::int64_t{-42}}, "-42"},
        {"unsigned", "%u", {std::int64_t{-1}}, "4294967295"},
        {"hex", "%x", {std::int64_t{255}}, "FF"},
        {"percent", "100%%", {}, "100%"},
        {"index", "%1:s %0:s", {QStringLiteral("a"), QStringLiteral("b")}, "b a"},
        {"index then next",
         "%1:s %s",
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")},
         "b c"},
        {"width", "[%5d]", {std::int64_t{42}}, "[   42]"},
        {"left", "[%-4s]", {QStringLiteral("ab")}, "[ab  ]"},
        {"precision", "%.3d|%.2s", {std::int64_t{7}, QStringLiteral("abcd")}, "007|ab"},
        {"number as text", "%s", {std::int64_t{5}}, "5"},
        {"text as number", "%d", {QStringLiteral(" 12 ")}, "12"},
        {"two strings", "%s%s", {dev, QStringLiteral("\r\r\nbusy")}, "\"Synth\".\r\n\r\r\nbusy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Format(QString::fromUtf8(c.fmt), c.args), QString::fromUtf8(c.expected));
    }
}

TEST(Format, HostileTextsNeverReadMissingArgumentsOrCrash)
{
    struct Case
    {
        const char* fmt;
        const char* expected;
    };
    const Case cases[] = {
        {"%s%s%s%n", "a%n"}, // missing arguments are empty; %n is not a specifier
        {"%d", ""},          // a text that is no number
        {"%99:s|", "|"},     // an index past the arguments
        {"%", "%"},          // unfinished at the end
        {"%5", "%5"},
        {"%q%", "%q%"},
        {"%99999999999999999999d", ""}, // an absurd width is bounded, the argument is a text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fmt);
        const QString out = Format(QString::fromUtf8(c.fmt), {QStringLiteral("a")});
        if (std::string_view(c.fmt).starts_with("%9999999"))
            EXPECT_LE(out.size(), 1024);
        else
            EXPECT_EQ(out, QString::fromUtf8(c.expected));
    }
}

} // namespace
} // namespace pv
