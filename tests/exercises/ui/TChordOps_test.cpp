// The item setup page and its editors as the user sees and uses them: the grid in both
// layouts with each answer view's miniatures and range picture, clicks on the grid, a chord
// written in the item editor, the editors' pictures, and a long progression kept whole.
#include "exercises/ui/TAkkProgEdit.h"
#include "exercises/ui/TChordEdit.h"
#include "exercises/ui/TChordOps.h"
#include "music/strings/UIStrings.h"
#include "music/ui/TRangeBox.h"
#include "support/ExerciseHostFake.h"
#include "support/ScriptedPrompts.h"
#include "support/TestOutput.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Mouse;

void Save(QWidget& widget, const QString& name)
{
    EXPECT_TRUE(widget.grab().toImage().save(test::TestOutputDir() + name));
}

void Click(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    Mouse(widget, QEvent::MouseButtonPress, at, button);
    Mouse(widget, QEvent::MouseButtonRelease, at, button);
}

class PageRig
{
public:
    PageRig()
    {
        const char* inversions[] = {"Root position", "1st inversion", "2nd inversion",
                                    "3rd inversion", "4th inversion", "5th inversion"};
        for (std::size_t i = 0; i < 6; ++i)
            strings.StrInversionNames[i] = QString::fromLatin1(inversions[i]);
        page.resize(1000, 720);
        page.show();
        QApplication::processEvents();
    }

    /// The centre of an item's cell in a grid column (normal view).
    QPoint CellCentre(int item, int column)
    {
        const QModelIndex index = page.DrawGrid1->model()->index(item - 1, column);
        page.DrawGrid1->scrollTo(index);
        return page.DrawGrid1->visualRect(index).center();
    }

    SetupState setup;
    ItemTables items = BuiltInItemTables();
    NoKeysHeld keys;
    UIStringTable strings;
    test::ScriptedPrompts prompts;
    int view = 8;
    NoteSpacing spacing;
    std::function<int(QDialog&)> runner;
    int opened = 0;
    int closed = 0;
    TChordOps page{ChordOpsContext{
        setup, items, nullptr, keys, spacing, strings, prompts, [this] { return view; },
        [] { return true; },
        [this](QDialog& dialog) { return runner ? runner(dialog) : int(QDialog::Rejected); },
        [this](bool open) { (open ? opened : closed) += 1; }}};
};

TEST(TChordOps, TheGridShowsEachAnswerViewInBothLayouts)
{
    PageRig rig;
    // A user chord of our own beside the built-in block's extra ones.
    rig.items.ChordIdentification.Counts[31] = 4;
    rig.items.ChordIdentification.Names[31] = QStringLiteral("mi7 of my own");
    rig.items.ChordIdentification.Items[31].Notes[0] = {60, 0, 0, 5};
    rig.items.ChordIdentification.Items[31].Notes[1] = {63, 1, 0, 4};
    rig.items.ChordIdentification.Items[31].Notes[2] = {67, 0, 0, 3};
    rig.items.ChordIdentification.Items[31].Notes[3] = {70, 1, 0, 2};
    struct Case
    {
        const char* name;
        int view;
        RangeView range;
        int rowHeight;
    };
    const Case cases[] = {{"staff", 8, RangeView::Staff, 42},
                          {"guitar", 4, RangeView::Guitar, 37},
                          {"piano", 2, RangeView::Piano, 24}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.view = c.view;
        for (bool compact : {false, true}) {
            rig.page.Model().Compact = compact;
            rig.page.LoadChordOps(ExerciseKind::ChordIdentification);
            QApplication::processEvents();
            EXPECT_EQ(rig.page.PaintBox1->View(), c.range);
            EXPECT_EQ(rig.page.DrawGrid1->horizontalHeader()->isVisible(), !compact);
            EXPECT_EQ(rig.page.DrawGrid1->verticalHeader()->defaultSectionSize(),
                      compact ? 24 : c.rowHeight);
            Save(rig.page,
                 QStringLiteral("chordpage-%1-%2.png")
                     .arg(QString::fromLatin1(c.name),
                          compact ? QStringLiteral("compact") : QStringLiteral("normal")));
            Save(*rig.page.PaintBox1,
                 QStringLiteral("chordpage-range-%1.png").arg(QString::fromLatin1(c.name)));
        }
    }
    rig.page.Model().Compact = false;
    rig.page.LoadChordOps(ExerciseKind::ChordIdentification);
    EXPECT_EQ(rig.page.DrawGrid1->model()->headerData(2, Qt::Horizontal).toString(),
              QStringLiteral("Name"));
    EXPECT_EQ(rig.page.DrawGrid1->model()->data(rig.page.DrawGrid1->model()->index(31, 2)),
              QStringLiteral("mi7 of my own"));
}

TEST(TChordOps, ProgressionsAndScalesHaveTheirOwnPage)
{
    PageRig rig;
    rig.page.LoadChordOps(ExerciseKind::ChordProgressions);
    QApplication::processEvents();
    EXPECT_TRUE(rig.page.ComboBox2->isVisible());
    EXPECT_EQ(rig.page.DrawGrid1->model()->columnCount(), 3);
    EXPECT_EQ(rig.page.CheckBox15->text(), QStringLiteral("Add the root in the bass"));
    Save(rig.page, QStringLiteral("chordpage-progressions.png"));
    rig.page.LoadChordOps(ExerciseKind::Scales);
    QApplication::processEvents();
    EXPECT_FALSE(rig.page.ComboBox2->isVisible());
    EXPECT_FALSE(rig.page.Akk_SimulCheck->isEnabled());
    Save(rig.page, QStringLiteral("chordpage-scales.png"));
}

TEST(TChordOps, ClicksOnTheGridTickItemsAndTheControlsReachTheSetup)
{
    PageRig rig;
    rig.page.LoadChordOps(ExerciseKind::ChordIdentification);
    QApplication::processEvents();
    QWidget& grid = *rig.page.DrawGrid1->viewport();
    ASSERT_EQ(rig.setup.CurrentSetup.ChordIdentification.ItemFlags[8], 0);
    Click(grid, rig.CellCentre(9, 2)); // a built-in chord's name
    Click(grid, rig.CellCentre(1, 1)); // the first chord's mark: off
    rig.page.CheckBox9->click();       // answer automatically
    rig.page.ComboBox1->setCurrentIndex(10);
    emit rig.page.ComboBox1->activated(10); // the heading row: moves to Descending 2nd
    EXPECT_EQ(rig.page.ComboBox1->currentIndex(), 8);
    rig.page.StoreChordOps();
    const OptionBlock& block = rig.setup.CurrentSetup.ChordIdentification;
    EXPECT_EQ(block.ItemFlags[8], 1);
    EXPECT_EQ(block.ItemFlags[0], 0);
    EXPECT_EQ(block.ItemFlags[1], 1);
    EXPECT_EQ(block.AutoAnswer, 1);
    EXPECT_EQ(block.RootMovement, 8);
    EXPECT_GE(block.HighestNote - block.LowestNote, 11) << "a cyclic movement needs an octave";

    // The right button plays and changes nothing.
    Click(grid, rig.CellCentre(9, 2), Qt::RightButton);
    rig.page.StoreChordOps();
    EXPECT_EQ(rig.setup.CurrentSetup.ChordIdentification.ItemFlags[8], 1);
}

/// The y of a natural note's head on the editor's staff.
int HeadY(TChordEdit& editor, int note)
{
    TSheet probe = editor.Model().Sheet();
    std::vector<TNoteRec> notes(1);
    notes[0].Pitch = TPitch{static_cast<std::int8_t>(note), 0};
    probe.Draw(notes, 1);
    return notes[0].Y;
}

TEST(TChordOps, AddNewOpensTheEditorAndItsChordComesBackGreen)
{
    PageRig rig;
    rig.page.LoadChordOps(ExerciseKind::ChordIdentification);
    QApplication::processEvents();
    int runs = 0;
    rig.runner = [&](QDialog& dialog) {
        ++runs;
        auto* editor = qobject_cast<TChordEdit*>(&dialog);
        EXPECT_NE(editor, nullptr);
        if (editor == nullptr)
            return int(QDialog::Rejected);
        EXPECT_TRUE(rig.page.ItemEditorOpen()) << "MIDI input goes to the editor meanwhile";
        editor->show();
        QApplication::processEvents();
        TChordEditPicture& staff = *editor->PaintBox1;
        for (int note : {62, 65, 69})
            Click(staff, QPoint(staff.width() / 2, HeadY(*editor, note)));
        editor->Edit1->setText(QStringLiteral("D minor mine"));
        Save(*editor, QStringLiteral("chordedit-added.png"));
        editor->BitBtn1->click();
        return dialog.result();
    };
    rig.page.SpeedButton4->click();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(rig.opened, 1);
    EXPECT_EQ(rig.closed, 1);
    EXPECT_FALSE(rig.page.ItemEditorOpen());
    EXPECT_TRUE(rig.page.UserItemsChanged());
    const ChordOpsModel& model = rig.page.Model();
    ASSERT_EQ(model.NoteCount(32), 3);
    EXPECT_EQ(model.ItemName(32), QStringLiteral("D minor mine"));
    EXPECT_EQ(model.Cell(PageView::Notesheet, 2, 32).Ink, CellInk::User);
    rig.page.StoreChordOps();
    EXPECT_EQ(rig.items.ChordIdentification.NoteCount(32), 3);
    Save(rig.page, QStringLiteral("chordpage-with-own-chord.png"));

    // Cancel leaves the item as it was.
    rig.runner = [](QDialog& dialog) {
        dialog.reject();
        return dialog.result();
    };
    Click(*rig.page.DrawGrid1->viewport(), rig.CellCentre(32, 3));
    EXPECT_EQ(model.NoteCount(32), 3);
    EXPECT_EQ(rig.opened, 2);
}

TEST(TChordOps, AProgressionOfMoreThanFiveChordsIsKeptAndNotEdited)
{
    PageRig rig;
    rig.items.ProgressionCounts[39] = 7;
    for (std::size_t k = 0; k < 7; ++k)
        rig.items.Progressions[39].Chords[k] = {static_cast<std::uint8_t>(60 + k), 0, 0, 0};
    rig.page.LoadChordOps(ExerciseKind::ChordProgressions);
    QApplication::processEvents();
    int runs = 0;
    rig.runner = [&](QDialog&) {
        ++runs;
        return int(QDialog::Accepted);
    };
    Click(*rig.page.DrawGrid1->viewport(), rig.CellCentre(40, 2));
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(rig.prompts.Count(QStringLiteral("info")), 1);
    rig.page.StoreChordOps();
    EXPECT_EQ(rig.items.ProgressionCount(40), 7);
}

TEST(TChordEdit, TheEditorsPicturesInEachViewAndInInversionMode)
{
    NoKeysHeld keys;
    const ItemTables items = BuiltInItemTables();
    const std::array<QString, 6> names = {
        QStringLiteral("Root position"), QStringLiteral("1st inversion"),
        QStringLiteral("2nd inversion"), QStringLiteral("3rd inversion"),
        QStringLiteral("4th inversion"), QStringLiteral("5th inversion")};
    struct Case
    {
        const char* file;
        EditView view;
        bool inversions;
        ExerciseKind kind;
    };
    const Case cases[] = {
        {"chordedit-staff.png", EditView::Staff, false, ExerciseKind::ChordIdentification},
        {"chordedit-piano.png", EditView::Piano, false, ExerciseKind::ChordIdentification},
        {"chordedit-guitar.png", EditView::Guitar, false, ExerciseKind::ChordIdentification},
        {"chordedit-scale-staff.png", EditView::Staff, false, ExerciseKind::Scales},
        {"chordedit-inversion.png", EditView::Staff, true, ExerciseKind::ChordInversions},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        NoteSpacing spacing;
        TChordEdit editor(keys, spacing, nullptr);
        ChordEditModel::Options options;
        options.Kind = c.kind;
        options.View = c.view;
        options.InversionMode = c.inversions;
        const std::vector<ItemNote> notes = c.inversions ? items.ChordInversions.Notes(12)
                                            : c.kind == ExerciseKind::Scales
                                                ? items.Scales.Notes(9)
                                                : items.ChordIdentification.Notes(13);
        editor.Open(options, notes, QStringLiteral("mi7(b5)"), items.ChordIdentification, names);
        editor.show();
        QApplication::processEvents();
        EXPECT_EQ(editor.ComboBox1->isVisible(), c.inversions);
        EXPECT_EQ(editor.SpeedButton1->isVisible(), !c.inversions && c.view == EditView::Staff);
        if (c.inversions) {
            EXPECT_EQ(editor.Edit1->text(),
                      items.ChordIdentification.Name(9) + QStringLiteral(" (2nd inversion)"));
            EXPECT_EQ(editor.Model().NoteCount(), 4);
        }
        Save(editor, QString::fromLatin1(c.file));
    }
}

TEST(TAkkProgEdit, FiveChordsAndTheirText)
{
    UIStringTable strings;
    strings.StrProgressionCaption1 = QStringLiteral("Number of chords:");
    strings.StrProgressionCaption2 = QStringLiteral("Chord:");
    strings.StrProgressionCaption3 = QStringLiteral("Alteration:");
    const ItemTables items = BuiltInItemTables();
    TAkkProgEdit editor(strings, items.ChordIdentification, nullptr);
    editor.Open(items.ProgressionChords(33)); // C - Am - F - G - C
    editor.show();
    QApplication::processEvents();
    EXPECT_EQ(editor.TrackBar1->value(), 5);
    EXPECT_EQ(editor.Label11->text(), QStringLiteral("I - VI mi - IV - V - I"));
    for (QComboBox* box : editor.StepBoxes)
        EXPECT_TRUE(box->isEnabled());
    Save(editor, QStringLiteral("progedit-five-chords.png"));
    editor.TrackBar1->setValue(3);
    EXPECT_FALSE(editor.StepBoxes[3]->isEnabled());
    EXPECT_EQ(editor.Label11->text(), QStringLiteral("I - VI mi - IV"));
    editor.BitBtn1->click();
    EXPECT_EQ(editor.Model().Result().size(), 3U);
}

} // namespace
} // namespace pv
