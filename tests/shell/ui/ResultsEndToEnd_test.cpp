// The results view, deleting results, the reports with their preview and a PDF printed through
// the print dialog, and export and import between two installations, all through the whole
// program as a user meets them.
#include "ShellProgramRun.h"
#include "music/data/ResultFiles.h"
#include "music/data/UserFile.h"
#include "music/files/DaysSince1899.h"
#include "shell/reports/ReportModel.h"
#include "shell/reports/ui/ReportsCommand.h"
#include "shell/reports/ui/TPreviewer.h"
#include "shell/results/ui/ResultsCommands.h"
#include "shell/results/ui/TDeleteDialog.h"
#include "shell/transfer/ui/ExportImportCommand.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

namespace pv {
namespace {

using test::Installation;
using test::ProgramRun;
using test::SavePicture;
using test::ScriptedPrompts;
using test::TempDir;

const QString kAnn = QStringLiteral("Ann") + QChar(kFullNameSeparator) + QStringLiteral("Berg");

TResultRec Stored(int kind, double date, std::uint16_t score, std::uint16_t count,
                  std::vector<std::pair<int, ItemScore>> items = {})
{
    TResultRec r;
    r.UserId = 1;
    r.Kind = static_cast<std::uint16_t>(kind);
    r.DateTime = date;
    r.Duration = 10.0 / 1440.0;
    r.AnswerTimeSum = 30.0 / 86400.0;
    r.SetupName = QStringLiteral("Triads");
    r.Score = score;
    r.Count = count;
    for (const auto& [item, value] : items)
        r.Items[static_cast<std::size_t>(item - 1)] = value;
    return r;
}

/// A started program whose user is Ann Berg, with results stored by the program's writer.
class Started
{
public:
    explicit Started(const Installation& installation, const QString& name = kAnn)
        : prompts(NameAnswered(name)), run(installation, prompts)
    {
    }
    /// Stored as by an earlier run of the program: the statistics are summed anew.
    void Store(const std::vector<TResultRec>& records)
    {
        for (const TResultRec& r : records)
            EXPECT_TRUE(AppendResult(run.program.Data(), r));
        run.program.App().ResultUser()->Computed = false;
    }
    TUserResult& View()
    {
        TUserResult* view = run.program.Results()->View();
        EXPECT_NE(view, nullptr);
        return *view;
    }
    QStringList Titles()
    {
        QStringList titles;
        QTableView* grid = View().Grid();
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            titles << grid->model()->headerData(c, Qt::Horizontal).toString();
        return titles;
    }
    std::vector<double> StoredDates()
    {
        std::vector<double> dates;
        // As the file holds them: the shown user's results are read again.
        for (const auto& entry : run.program.App().ReloadResults(run.program.Data()))
            dates.push_back(entry.Object->Record.DateTime);
        return dates;
    }

    /// What the program said or asked beyond the name at the first start.
    QStringList Messages() const
    {
        QStringList said;
        for (const auto& asked : prompts.asked) {
            if (asked.kind != QStringLiteral("text"))
                said << asked.kind + QStringLiteral(": ") + asked.text;
        }
        return said;
    }

    /// The first start asks the user's name.
    static ScriptedPrompts NameAnswered(const QString& name)
    {
        ScriptedPrompts prompts;
        prompts.texts = {name};
        return prompts;
    }

    ScriptedPrompts prompts;
    ProgramRun run;
};

/// Starts with the name answered first (the constructor's prompts are set before the run).
std::unique_ptr<Started> Start(const Installation& installation)
{
    auto started = std::make_unique<Started>(installation);
    EXPECT_TRUE(started->run.started);
    return started;
}

TEST(ResultsEndToEnd, ResultsViewListsStoredAndRunningResultsWithItemColumnsAndScoreBars)
{
    const double today = TodayInDaysSince1899();
    Installation installation;
    auto s = Start(installation);
    s->Store({Stored(1, today - 3 + 0.4, 7, 9, {{1, {4, 5}}, {2, {3, 4}}}),
              Stored(1, today - 2 + 0.6, 5, 5, {{1, {2, 2}}, {5, {3, 3}}}),
              Stored(2, today - 1, 4, 6)});
    TPellivarkMain& window = s->run.Window();
    window.Button(MainControl::Speed1)->click();
    ASSERT_NE(s->run.ChordWindow(), nullptr);
    test::AnswerQuestions(*s->run.ChordWindow(), 3);

    window.Button(MainControl::SpeedButton5)->click();
    ASSERT_EQ(window.ShownView(), &s->View());
    QTableView* grid = s->View().Grid();
    // Two stored runs of chords and the running one, last and selected.
    ASSERT_EQ(grid->model()->rowCount(), 3);
    EXPECT_EQ(grid->model()->index(2, 0).data().toString(), QStringLiteral("Running"));
    EXPECT_EQ(grid->selectionModel()->selectedRows().value(0).row(), 2);
    EXPECT_EQ(grid->model()->index(0, 0).data().toString(), ResultDateText(today - 3 + 0.4));

    // The default table shows the base columns but the answer time, and the items some run
    // asked.
    const ItemTable& chords = s->run.program.Items().ChordIdentification;
    QStringList titles = s->Titles();
    ASSERT_GE(titles.size(), 5);
    EXPECT_EQ(
        titles.mid(0, 5),
        (QStringList{QStringLiteral("Date"), QStringLiteral("Time"), QStringLiteral("Duration"),
                     QStringLiteral("Level name"), QStringLiteral("Total result")}));
    EXPECT_TRUE(titles.contains(chords.Name(1)));
    EXPECT_TRUE(titles.contains(chords.Name(5)));
    EXPECT_FALSE(titles.contains(chords.Name(7))) << "asked by no run";

    // Fewer base columns, counts in the item cells.
    s->View().SpeedButton2->click();
    s->View().SpeedButton6->click();
    ASSERT_TRUE(s->View().SpeedButton5->isEnabled());
    s->View().SpeedButton5->click();
    titles = s->Titles();
    EXPECT_FALSE(titles.contains(QStringLiteral("Duration")));
    EXPECT_TRUE(titles.contains(QStringLiteral("Answer time")));
    const int item = static_cast<int>(titles.indexOf(chords.Name(1)));
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(item), 160) << "widened for the counts";
    EXPECT_FALSE(s->View().Label4->text().isEmpty()) << "the statistics period";
    s->run.Window().resize(1280, 640);
    QCoreApplication::processEvents();
    SavePicture(s->run.Window(), QStringLiteral("results_view.png"));

    // The intervals have no answers of this run and show their one stored result.
    window.Button(MainControl::Speed2)->click();
    window.Button(MainControl::SpeedButton5)->click();
    EXPECT_EQ(grid->model()->rowCount(), 1);
    EXPECT_TRUE(s->run.Close());
}

TEST(ResultsEndToEnd, DeleteDialogKeepsTheResultsFromItsDayOn)
{
    const double today = TodayInDaysSince1899();
    Installation installation;
    auto s = Start(installation);
    const double cutoff = ToDaysSince1899(QDateTime(QDate::currentDate().addDays(-30), QTime()));
    s->Store({Stored(1, cutoff - 10, 1, 5), Stored(1, cutoff - 0.001, 2, 5),
              Stored(1, cutoff, 3, 5), Stored(1, today, 4, 5)});
    TPellivarkMain& window = s->run.Window();
    window.Button(MainControl::Speed1)->click();
    window.Button(MainControl::SpeedButton5)->click();
    ASSERT_EQ(s->View().Grid()->model()->rowCount(), 4);
    QAction* item = window.Action(MainControl::Deleteresults1);
    ASSERT_TRUE(item->isVisible());

    int dialogs = 0;
    s->run.dialogs = [&](QDialog& dialog) {
        ++dialogs;
        auto* del = qobject_cast<TDeleteDialog*>(&dialog);
        EXPECT_NE(del, nullptr) << dialog.objectName().toStdString();
        if (del == nullptr)
            return 0;
        dialog.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(del->DateTimePicker1->date(), QDate::currentDate().addDays(-30));
        EXPECT_EQ(del->Label1->text(), QStringLiteral("Delete the results of Ann Berg dated "
                                                      "before this day:"));
        SavePicture(dialog, QStringLiteral("delete_dialog.png"));
        // A second delete command while the dialog is open makes no second dialog.
        item->trigger();
        del->BitBtn1->click();
        del->BitBtn2->click();
        return dialog.result();
    };
    item->trigger();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(s->StoredDates(), (std::vector<double>{cutoff, today}));
    EXPECT_EQ(s->View().Grid()->model()->rowCount(), 2) << "the view shows what is left";
    EXPECT_TRUE(s->run.Close());
}

// The first start takes the name in one field: it has no family part, and the texts that show
// the name must not carry the blank that would stand before one.
TEST(ResultsEndToEnd, ANameTypedInOneFieldIsShownWithoutATrailingBlank)
{
    Installation installation;
    Started s(installation, QStringLiteral("Ann Berg"));
    ASSERT_TRUE(s.run.started);
    s.Store({Stored(1, TodayInDaysSince1899(), 4, 5)});
    TPellivarkMain& window = s.run.Window();
    window.Button(MainControl::Speed1)->click();
    window.Button(MainControl::SpeedButton5)->click();
    EXPECT_EQ(s.View().ComboBox1->itemText(0), QStringLiteral("Ann Berg"));
    QString label;
    s.run.dialogs = [&](QDialog& dialog) {
        if (auto* del = qobject_cast<TDeleteDialog*>(&dialog)) {
            label = del->Label1->text();
            del->BitBtn2->click();
        }
        return dialog.result();
    };
    window.Action(MainControl::Deleteresults1)->trigger();
    EXPECT_EQ(label, QStringLiteral("Delete the results of Ann Berg dated before this day:"));
    EXPECT_TRUE(s.run.Close());
}

/// The text of a PDF file and its page count, by the system's PDF tools.
struct PdfContent
{
    QString Text;
    int Pages = 0;
};

PdfContent ReadPdf(const QString& path)
{
    PdfContent pdf;
    const QString toText = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString info = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (toText.isEmpty() || info.isEmpty()) {
        ADD_FAILURE() << "pdftotext and pdfinfo (poppler-utils, scripts/deps) are needed";
        return pdf;
    }
    QProcess text;
    text.start(toText, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    text.waitForFinished(30000);
    // Ligatures ("fi") come back as one character.
    pdf.Text =
        QString::fromUtf8(text.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    QProcess pages;
    pages.start(info, {path});
    pages.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(pages.readAllStandardOutput()).split(u'\n')) {
        if (line.startsWith(QStringLiteral("Pages:")))
            pdf.Pages = line.mid(6).trimmed().toInt();
    }
    return pdf;
}

TEST(ResultsEndToEnd, ReportPreviewAndThePdfThePrintDialogWritesHoldTheSamePages)
{
    const double today = TodayInDaysSince1899();
    Installation installation;
    auto s = Start(installation);
    // 70 chord runs over five weeks (7 of 10 right each) and 4 rhythm-reading runs.
    std::vector<TResultRec> runs;
    for (int i = 0; i < 70; ++i)
        runs.push_back(Stored(1, today - 34 + i * 0.5, 7, 10));
    for (int i = 0; i < 4; ++i)
        runs.push_back(Stored(5, today - 4 + i, static_cast<std::uint16_t>(60 + 10 * i), 8));
    runs.push_back(Stored(1, today - 60, 1, 10)); // before the days asked
    s->Store(runs);
    TPellivarkMain& window = s->run.Window();
    window.Button(MainControl::Speed1)->click();
    const QString pdfPath = installation.data.File(QStringLiteral("report.pdf"));

    int previewPages = 0;
    QString pageTwoStatus;
    bool printed = false;
    s->run.dialogs = [&](QDialog& dialog) -> int {
        if (auto* reports = qobject_cast<TReports*>(&dialog)) {
            reports->SetFootnote(QStringLiteral("made by the test"));
            dialog.show();
            QCoreApplication::processEvents();
            EXPECT_FALSE(reports->GroupBox1->isVisible()) << "no right to other users";
            // Chords are the current kind: their box alone is ticked, "all" grayed.
            const int chordBox = ReportBoxOfKind(1);
            EXPECT_TRUE(reports->KindBoxes[chordBox - 1]->isChecked());
            EXPECT_EQ(reports->CheckBox10->checkState(), Qt::PartiallyChecked);
            reports->KindBoxes[ReportBoxOfKind(5) - 1]->click();
            reports->ComboBox1->setCurrentText(QStringLiteral("40"));
            SavePicture(dialog, QStringLiteral("reports_dialog.png"));
            reports->Button1->click();
            reports->Button2->click();
            reports->Button3->click();
            return dialog.result();
        }
        if (auto* preview = qobject_cast<TPreviewer*>(&dialog)) {
            dialog.show();
            QCoreApplication::processEvents();
            previewPages = preview->PageCount();
            preview->RepPreview1->fitInView();
            QCoreApplication::processEvents();
            SavePicture(dialog, QStringLiteral("report_preview.png"));
            preview->NextButton->click();
            pageTwoStatus = preview->StatusBar1->findChild<QLabel*>()->text();
            return QDialog::Accepted;
        }
        if (auto* print = qobject_cast<QPrintDialog*>(&dialog)) {
            // The user chooses printing to a file.
            print->printer()->setOutputFormat(QPrinter::PdfFormat);
            print->printer()->setOutputFileName(pdfPath);
            printed = true;
            return QDialog::Accepted;
        }
        ADD_FAILURE() << "an unexpected dialog: " << dialog.objectName().toStdString();
        return QDialog::Rejected;
    };
    window.Action(MainControl::Reports1)->trigger();
    ASSERT_TRUE(printed);
    ASSERT_GE(previewPages, 2);
    EXPECT_EQ(pageTwoStatus, QStringLiteral("Page 2 of %1").arg(previewPages));

    const PdfContent pdf = ReadPdf(pdfPath);
    EXPECT_EQ(pdf.Pages, previewPages);
    const auto has = [&pdf](const QString& text) {
        EXPECT_TRUE(pdf.Text.contains(text)) << text.toStdString() << " in\n"
                                             << pdf.Text.toStdString();
    };
    has(QStringLiteral("Results of the exercises"));
    has(QStringLiteral("Berg, Ann"));
    has(QStringLiteral("Chord identification"));
    has(QStringLiteral("Rhythm reading"));
    has(QStringLiteral("The last 40 days"));
    // Totals: 490 of 700 right in the chords, the mean 75 % over 32 questions in the rhythms.
    has(QStringLiteral("490 /"));
    has(QStringLiteral("700"));
    has(QStringLiteral("75%"));
    has(QStringLiteral("32"));
    has(QStringLiteral("Page %1 of %1").arg(previewPages));
    EXPECT_FALSE(pdf.Text.contains(QStringLiteral("10%"))) << "the old run is outside the days";
    EXPECT_TRUE(s->run.Close());
}

TEST(ResultsEndToEnd, ExportAndImportMoveTheUserBetweenTwoInstallations)
{
    const double today = TodayInDaysSince1899();
    TempDir exportDir;
    Installation home;
    Installation school;
    std::vector<std::uint8_t> exported;
    const auto exportIn = [&](Started& s, bool import) {
        s.run.dialogs = [&, import](QDialog& dialog) -> int {
            auto* transfer = qobject_cast<TExportImport*>(&dialog);
            EXPECT_NE(transfer, nullptr);
            if (transfer == nullptr)
                return QDialog::Rejected;
            dialog.show();
            QCoreApplication::processEvents();
            EXPECT_FALSE(transfer->ComboBox1->isEnabled()) << "no right to other users";
            EXPECT_EQ(transfer->ComboBox1->currentText(), QStringLiteral("Ann Berg"));
            transfer->Edit1->setText(exportDir.Path());
            transfer->PageControl1->setCurrentIndex(import ? 0 : 1);
            if (!import)
                SavePicture(dialog, QStringLiteral("export_import_dialog.png"));
            (import ? transfer->BitBtn1 : transfer->BitBtn2)->click();
            transfer->BitBtn3->click();
            return dialog.result();
        };
        s.run.Window().Action(MainControl::ImportExport)->trigger();
    };
    {
        auto s = Start(home);
        s->Store({Stored(1, today - 2, 7, 9), Stored(8, today - 1, 3, 5)});
        exportIn(*s, false);
        EXPECT_EQ(s->Messages(), QStringList{});
        exported = exportDir.Read(QString::fromLatin1(kExportResultFile));
        EXPECT_EQ(exported.size(), 2 * kResultRecSize);
        EXPECT_EQ(exportDir.Read(QString::fromLatin1(kExportUserFile)).size(), kUserRecSize);
        EXPECT_TRUE(s->run.Close());
    }
    {
        auto s = Start(school);
        s->Store({Stored(1, today - 2, 7, 9)}); // already here
        s->run.Window().Button(MainControl::Speed1)->click();
        s->run.Window().Button(MainControl::SpeedButton5)->click();
        ASSERT_EQ(s->View().Grid()->model()->rowCount(), 1);
        exportIn(*s, true);
        EXPECT_EQ(s->Messages(), QStringList{});
        EXPECT_EQ(s->StoredDates(), (std::vector<double>{today - 2, today - 1}));
        EXPECT_EQ(
            s->run.program.App().ReloadResults(s->run.program.Data()).back().Object->Record.Kind,
            8);
        // The results view was entered again and shows the chords as before.
        EXPECT_EQ(s->run.Window().ShownView(), &s->View());
        EXPECT_EQ(s->View().Grid()->model()->rowCount(), 1);
        EXPECT_TRUE(s->run.Close());
    }
}

} // namespace
} // namespace pv
