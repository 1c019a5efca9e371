// Opening the help: a file that cannot be shown is said and opens no window; F1 in a dialog
// opens the page of the nearest control that names one; a dialog that holds the input does
// not keep it from the help window.
#include "music/strings/UIStrings.h"
#include "shell/help/HelpFile.h"
#include "shell/help/HelpSource.h"
#include "shell/help/ui/HelpDesk.h"
#include "shell/help/ui/THelpViewer.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace pv {
namespace {

UIStringTable Strings()
{
    UIStringTable strings;
    strings.StrHelp = QStringLiteral("Help");
    strings.StrFileNotFound = QStringLiteral("File does not exist:");
    return strings;
}

constexpr const char* kSource = R"(@page contents
@title Help
The pages.

@page results
@title Results
@contexts 13
Your results.

@page chooser
@title Choose a setup
@contexts 160
The setups.
)";

QString WriteBook(const test::TempDir& dir, const QString& name)
{
    const auto book = ParseHelpSource(QString::fromUtf8(kSource));
    EXPECT_TRUE(book.Ok());
    EXPECT_TRUE(WriteHelpFile(dir.File(name), book.Value()).Ok());
    return dir.File(name);
}

void PressF1(QWidget* target)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

TEST(HelpDesk, AFileThatCannotBeShownIsSaidAndTheWindowStaysAsItWas)
{
    const UIStringTable strings = Strings();
    test::ScriptedPrompts prompts;
    QWidget owner;
    HelpDesk desk(prompts, strings, owner);
    test::TempDir dir;

    desk.Show(dir.File(QStringLiteral("English.HLP")), 13);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].kind, QStringLiteral("error"));
    EXPECT_EQ(prompts.asked[0].text,
              QStringLiteral("File does not exist:\n\n") + dir.File(QStringLiteral("English.HLP")));
    EXPECT_EQ(desk.Viewer(), nullptr) << "never an empty window";

    const QString good = WriteBook(dir, QStringLiteral("English.HLP"));
    desk.Show(good, 13);
    ASSERT_NE(desk.Viewer(), nullptr);
    EXPECT_TRUE(desk.Viewer()->isVisible());
    EXPECT_EQ(desk.Viewer()->CurrentKey(), QStringLiteral("results"));

    // The same file damaged: said, and the page shown so far stays.
    std::vector<std::uint8_t> bytes = dir.Read(QStringLiteral("English.HLP"));
    bytes.resize(bytes.size() - 3);
    ASSERT_TRUE(dir.Write(QStringLiteral("English.HLP"), bytes));
    desk.Show(good, 160);
    ASSERT_EQ(prompts.asked.size(), 2u);
    EXPECT_TRUE(prompts.asked[1].text.startsWith(
        QStringLiteral("The help file cannot be shown: it is damaged")))
        << prompts.asked[1].text.toStdString();
    EXPECT_EQ(desk.Viewer()->CurrentKey(), QStringLiteral("results"));
}

TEST(HelpDesk, F1InADialogOpensThePageOfTheNearestControlThatNamesOne)
{
    const UIStringTable strings = Strings();
    test::ScriptedPrompts prompts;
    QWidget owner;
    HelpDesk desk(prompts, strings, owner);
    test::TempDir dir;
    desk.SetHelpFile(WriteBook(dir, QStringLiteral("English.HLP")));

    QDialog dialog(&owner);
    dialog.setProperty(kHelpContextProperty, 160);
    auto* layout = new QVBoxLayout(&dialog);
    auto* own = new QLineEdit;
    own->setProperty(kHelpContextProperty, 13);
    auto* plain = new QLineEdit;
    layout->addWidget(own);
    layout->addWidget(plain);
    QDialog unnamed(&owner);
    auto* field = new QLineEdit(&unnamed);

    struct Case
    {
        const char* name;
        QWidget* focus;
        const char* page;
    };
    const Case cases[] = {
        {"a control of its own", own, "results"},
        {"a control in a dialog that names one", plain, "chooser"},
        {"a dialog without any", field, "contents"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PressF1(c.focus);
        ASSERT_NE(desk.Viewer(), nullptr);
        EXPECT_EQ(desk.Viewer()->CurrentKey(), QString::fromLatin1(c.page));
    }
    // F1 in the owner is its Help menu's: the desk leaves it alone.
    desk.Viewer()->hide();
    PressF1(&owner);
    EXPECT_FALSE(desk.Viewer()->isVisible());
    EXPECT_TRUE(prompts.asked.empty());
}

TEST(HelpDesk, AskedFromAModalDialogTheWindowIsModalAboveIt)
{
    const UIStringTable strings = Strings();
    test::ScriptedPrompts prompts;
    QWidget owner;
    owner.show();
    HelpDesk desk(prompts, strings, owner);
    test::TempDir dir;
    const QString file = WriteBook(dir, QStringLiteral("English.HLP"));

    QDialog dialog(&owner);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    desk.Show(file, 160);
    ASSERT_NE(desk.Viewer(), nullptr);
    EXPECT_EQ(desk.Viewer()->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(QApplication::activeModalWidget(), desk.Viewer()) << "the help takes the input";
    desk.Viewer()->close();
    dialog.close();
    QApplication::processEvents();

    desk.Show(file, 13);
    EXPECT_EQ(desk.Viewer()->windowModality(), Qt::NonModal);
    EXPECT_TRUE(desk.Viewer()->isVisible());
    EXPECT_EQ(desk.Viewer()->CurrentKey(), QStringLiteral("results"));
}

} // namespace
} // namespace pv
