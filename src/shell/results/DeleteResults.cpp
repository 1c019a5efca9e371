// Deleting old results.
#include "shell/results/DeleteResults.h"

#include "music/data/ResultFiles.h"
#include "music/files/DaysSince1899.h"
#include "music/strings/Format.h"

#include <QDateTime>

namespace pv {

DeleteResultsModel::DeleteResultsModel(AppState& app, DataFiles& data, const UIStringTable& strings)
    : m_app(app), m_data(data), m_strings(strings)
{
}

QDate DeleteResultsModel::DefaultDate(const QDate& today)
{
    return today.addDays(-30);
}

QString DeleteResultsModel::LabelText() const
{
    QString name;
    if (m_app.Users.CurrentUser) {
        const TUserInfo& user = *m_app.Users.CurrentUser;
        name = user.DisplayName;
        if (name.isEmpty())
            name = ShownName(user.Record.FullName);
    }
    return Format(m_strings.StrDeleteResultsFormat, {name});
}

Status<DataError> DeleteResultsModel::Delete(const QDate& chosen)
{
    const std::shared_ptr<TUserInfo>& user = m_app.Users.CurrentUser;
    if (!user || !chosen.isValid())
        return Fail(DataError::NoUser);
    const std::uint16_t id = user->Record.UserId;
    const double cutoff = ToDaysSince1899(QDateTime(chosen, QTime(0, 0)));
    Status<DataError> purged = PurgeResults(m_data, id, cutoff);
    ReportDataFailure(m_data, purged, m_data.strings.StrResultFile, ResultFileName(m_data, id));
    m_app.ResultFileChanged(m_data, id);
    // The statistics summed what is gone.
    user->Computed = false;
    if (m_app.ResultUser() && m_app.ResultUserId() == id)
        m_app.ResultUser()->Computed = false;
    return purged;
}

} // namespace pv
