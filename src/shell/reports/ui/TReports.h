// The reports dialog: whose results (with the right to see other users), which kinds, how many
// past days; then a preview of the report or printing it through the print dialog, whose
// printing to a file writes the same pages as a PDF.
#pragma once

#include "shell/reports/ReportLayout.h"

#include <array>
#include <functional>
#include <memory>

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPrintDialog;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace pv {

class TPreviewer;

/// What the reports dialog reads of the program around it; every function may be empty.
struct ReportsContext
{
    DataFiles& Data;
    AppState& App;
    const UIStringTable& Strings;
    IPrompts& Prompts;
    TutorTitleOf TutorTitle;
    /// The right to see other users' data.
    std::function<bool()> OtherUsersRight;
    /// The current exercise kind (0: none).
    std::function<int()> CurrentKind;
    /// The caption of kind's exercise menu item, and of the exercise menu.
    std::function<QString(int kind)> KindCaption;
    std::function<QString()> ExerciseMenuCaption;
    /// The main window's tutor label.
    std::function<QString()> TutorLabel;
    /// The results view's title of base column 0..5.
    std::function<QString(int column)> ColumnTitle;
    /// Runs a modal dialog (the preview, the print dialog) and gives its result; empty: exec().
    std::function<int(QDialog&)> RunDialog;
};

class TReports final : public QDialog
{
    Q_OBJECT

public:
    explicit TReports(ReportsContext context, QWidget* parent = nullptr);
    ~TReports() override;

    /// Every showing: the scope group by the right, the lists, the check boxes for the current
    /// kind.
    void FormShow();
    /// Fills the report from the controls; false when it cannot be made (said so).
    bool Prepare();
    /// Preview: the report's pages in the previewer.
    void Button1Click();
    /// Print: the print dialog, then the pages it asks for.
    void Button2Click();
    /// The print dialog (page range from..to, 0 for none) and, when confirmed, printing.
    void PrintReport(int fromPage, int toPage);

    ReportModel& Model() { return m_model; }
    /// The report's printer (its page size serves the preview, the printer and a PDF alike).
    QPrinter& Printer() { return *m_printer; }
    TPreviewer* Previewer() const { return m_previewer; }
    /// Where a footer says when the report was made (a test gives a fixed text).
    void SetFootnote(const QString& text) { m_footnote = text; }

    QGroupBox* GroupBox1 = nullptr;         ///< scope
    QGroupBox* GroupBox2 = nullptr;         ///< exercises
    QGroupBox* GroupBox3 = nullptr;         ///< past days
    QRadioButton* RadioButton1 = nullptr;   ///< one user
    QRadioButton* RadioButton2 = nullptr;   ///< one class
    QRadioButton* RadioButton3 = nullptr;   ///< all users
    QRadioButton* RadioButton4 = nullptr;   ///< all students
    QComboBox* ComboBox1 = nullptr;         ///< days
    QComboBox* ComboBox2 = nullptr;         ///< class
    QComboBox* ComboBox3 = nullptr;         ///< user
    std::array<QCheckBox*, 10> KindBoxes{}; ///< CheckBox1..CheckBox9, CheckBox11: box 1..10
    QCheckBox* CheckBox10 = nullptr;        ///< all kinds
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Button1 = nullptr; ///< preview
    QPushButton* Button2 = nullptr; ///< print
    QPushButton* Button3 = nullptr; ///< close

private:
    void ShowBoxes();
    void KindBoxClicked(int box);
    void AllBoxClicked();
    std::vector<ReportPage> PagesFor(QPrinter& printer) const;
    int Run(QDialog& dialog);

    ReportsContext m_c;
    ReportModel m_model;
    std::unique_ptr<QPrinter> m_printer;
    TPreviewer* m_previewer = nullptr;
    std::vector<std::shared_ptr<TUserInfo>> m_users;
    std::vector<TClassRec> m_classes;
    QString m_footnote;
    bool m_updating = false;
};

} // namespace pv
