// The delete-results dialog: a day, and the current user's results dated before it deleted.
#pragma once

#include "shell/results/DeleteResults.h"

#include <functional>

#include <QDialog>

class QDateEdit;
class QLabel;
class QPushButton;

namespace pv {

class TDeleteDialog final : public QDialog
{
    Q_OBJECT

public:
    /// data and strings must outlive the dialog; help opens a help topic (may be empty).
    TDeleteDialog(AppState& app, DataFiles& dataFiles, const UIStringTable& strings,
                  std::function<void(int)> help, QWidget* parent = nullptr);

    /// Puts the dialog in its state for showing: 30 days ago, the user named, the captions.
    void FormShow();
    /// Deletes the results dated before the chosen day; the dialog stays open.
    void BitBtn1Click();

    /// Whether a delete has run since the dialog was shown.
    bool Deleted() const { return m_deleted; }

    QDateEdit* DateTimePicker1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* BitBtn1 = nullptr; ///< Delete
    QPushButton* BitBtn2 = nullptr; ///< Close
    QPushButton* BitBtn3 = nullptr; ///< Help

    static constexpr int kHelpContext = 172;

private:
    DeleteResultsModel m_model;
    const UIStringTable& m_strings;
    std::function<void(int)> m_help;
    bool m_deleted = false;
};

} // namespace pv
