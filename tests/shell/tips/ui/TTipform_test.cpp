// The tip window as a user sees it: its text over the hide box and the close button, laid out
// from the text's height; the result is the box's tick however the window is closed.
#include "music/strings/UIStrings.h"
#include "shell/tips/ui/TTipform.h"
#include "support/TestOutput.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

UIStringTable Strings()
{
    UIStringTable strings;
    strings.StrClose = QStringLiteral("Close");
    strings.StrHideTip = QStringLiteral("Hide this tip");
    return strings;
}

const QString kTip = QStringLiteral(
    "Click the staff to enter the notes you hear. Hold Z, X, C, V or B while you click for a "
    "double flat, a flat, a natural, a sharp or a double sharp.");

TEST(TTipform, TheTextStandsOverTheHideBoxAndTheButton)
{
    const UIStringTable strings = Strings();
    const bool hidden = TTipform::Run(kTip, strings, [](QDialog& dialog) {
        auto& tip = static_cast<TTipform&>(dialog);
        tip.show();
        QApplication::processEvents();
        EXPECT_TRUE(tip.grab().toImage().save(test::TestOutputDir() + QStringLiteral("tip.png")));
        EXPECT_EQ(tip.Label1->text(), kTip);
        EXPECT_FALSE(tip.CheckBox1->isChecked());
        EXPECT_EQ(tip.CheckBox1->text(), QStringLiteral("Hide this tip"));
        EXPECT_EQ(tip.Button1->text(), QStringLiteral("Close"));
        EXPECT_GE(tip.Label1->height(), 35);
        EXPECT_EQ(tip.Bevel1->y(), tip.Label1->y() + tip.Label1->height() + 8);
        EXPECT_EQ(tip.CheckBox1->y(), tip.Bevel1->y() + 12);
        EXPECT_EQ(tip.Button1->y(), tip.CheckBox1->y());
        EXPECT_EQ(tip.height(), tip.Button1->y() + 32);
        tip.CheckBox1->click();
        tip.Button1->click();
        return tip.result();
    });
    EXPECT_TRUE(hidden);
}

TEST(TTipform, TheCloseBoxCountsAsTheButton)
{
    const UIStringTable strings = Strings();
    for (const bool tick : {false, true}) {
        SCOPED_TRACE(tick);
        const bool hidden = TTipform::Run(QStringLiteral("Short."), strings, [tick](QDialog& d) {
            auto& tip = static_cast<TTipform&>(d);
            tip.show();
            EXPECT_EQ(tip.Label1->height(), 35) << "a short text keeps the least height";
            tip.CheckBox1->setChecked(tick);
            tip.close();
            return tip.result();
        });
        EXPECT_EQ(hidden, tick);
    }
}

} // namespace
} // namespace pv
