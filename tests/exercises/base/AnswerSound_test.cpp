// Choosing the answer sound's file from the settings.
#include "exercises/base/AnswerSound.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(AnswerSound, FileIsTheSettingsNameInTheMediaFolderFoundWithoutCase)
{
    test::TempDir dir;
    ASSERT_TRUE(dir.Write(QStringLiteral("correct.wav"), {1}));
    ASSERT_TRUE(dir.Write(QStringLiteral("Wrong.wav"), {1}));
    ASSERT_TRUE(dir.Write(QStringLiteral("wrong.wav"), {1}));
    AnswerSoundChoice choice{true, dir.Path(), QStringLiteral("Correct"), QStringLiteral("Wrong")};

    EXPECT_EQ(AnswerSoundFile(choice, true), dir.File(QStringLiteral("correct.wav")));
    EXPECT_EQ(AnswerSoundFile(choice, false), dir.File(QStringLiteral("Wrong.wav")))
        << "an exact match wins";

    choice.SoundEffects = false;
    EXPECT_TRUE(AnswerSoundFile(choice, true).isEmpty()) << "sound effects off";
    choice.SoundEffects = true;
    choice.CorrectSound = QStringLiteral("Applause");
    EXPECT_TRUE(AnswerSoundFile(choice, true).isEmpty()) << "no such file";
    choice.CorrectSound.clear();
    EXPECT_TRUE(AnswerSoundFile(choice, true).isEmpty()) << "no name";
}

} // namespace
} // namespace pv
