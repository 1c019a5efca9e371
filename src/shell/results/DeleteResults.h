// The delete-results dialog without its window: the date it offers, its text, and deleting the
// current user's results dated before a chosen day.
#pragma once

#include "music/data/DataFiles.h"
#include "shell/state/AppState.h"

#include <QDate>
#include <QString>

namespace pv {

class DeleteResultsModel
{
public:
    /// app, data and strings must outlive the model.
    DeleteResultsModel(AppState& app, DataFiles& data, const UIStringTable& strings);

    /// The day the dialog offers first: 30 days before today.
    static QDate DefaultDate(const QDate& today);
    /// The dialog's text, naming the current user.
    QString LabelText() const;
    /// Keeps only the current user's results dated on or after the chosen day (from its
    /// midnight, whatever time of day the day came with); the results held of that user are
    /// then read again. A failure
    /// the file's opening did not show is shown here; the file is then as it was.
    Status<DataError> Delete(const QDate& chosen);

private:
    AppState& m_app;
    DataFiles& m_data;
    const UIStringTable& m_strings;
};

} // namespace pv
