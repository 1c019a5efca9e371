// The tutor list: a modal dialog listing the tutors of a folder, with a folder chooser and
// the selected tutor's description and author.
#pragma once

#include "shell/tutor/TPathDialog.h"
#include "shell/tutor/TutorListModel.h"
#include "shell/ui/WidgetTexts.h"

#include <functional>

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace pv {

class TTutorlist : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kNarrowWidth = 310;
    static constexpr int kWideWidth = 589;

    TTutorlist(const Folders& folders, IPrompts& prompts, QWidget* parent = nullptr);

    /// Announces the window's texts (caption, labels and buttons).
    void RegisterTextTargets(const TextTargetSink& sink);
    /// The folder the next showing starts at; the program folder when empty or missing.
    void SetStartFolder(const QString& folder) { m_startFolder = folder; }

    /// Every showing lists the start folder anew, narrow, with nothing selected.
    void FormShow();
    void ListBox1Click();
    void ListBox1DblClick();
    /// Shows or hides the details.
    void SpeedButton2Click();
    /// Lets the user pick another folder and lists it.
    void BitBtn4Click();
    /// What Help opens; unset: the button does nothing.
    void SetHelp(std::function<void()> help) { m_help = std::move(help); }

    /// The path of the selected tutor (a bare name in the program folder).
    std::optional<QString> SelectedPath() const { return m_model.SelectedPath(); }
    const TutorListModel& Model() const { return m_model; }

    QLabel* Label1 = nullptr; ///< "Tutors"
    QListWidget* ListBox1 = nullptr;
    QLabel* Label2 = nullptr;            ///< the folder shown
    QPushButton* BitBtn4 = nullptr;      ///< another folder
    QPushButton* BitBtn1 = nullptr;      ///< OK
    QPushButton* BitBtn2 = nullptr;      ///< Cancel
    QPushButton* BitBtn3 = nullptr;      ///< Help
    QPushButton* SpeedButton2 = nullptr; ///< details
    QLabel* Label3 = nullptr;            ///< above the description
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label4 = nullptr; ///< above the author
    QLineEdit* Edit1 = nullptr;
    QWidget* Details = nullptr;
    TPathDialog PathDialog1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowEntries();
    void SelectionChanged();
    void SetDetailsShown(bool shown);

    TutorListModel m_model;
    QString m_startFolder;
    std::function<void()> m_help;
};

} // namespace pv
