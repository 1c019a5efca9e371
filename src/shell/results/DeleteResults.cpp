// Deleting old results.
#include "shell/results/DeleteResults.h"

#include "music/data/ResultFiles.h"
#include "music/files/DaysSince1899.h"
#include "music/strings/Format.h"

#include <QDateTime>

namespace pv {

DeleteResultsModel::DeleteResultsModel(DataFiles& data, const UIStringTable& strings)
    : m_data(data), m_strings(strings)
{
}

QDate DeleteResultsModel::DefaultDate(const QDate& today)
{
    return today.addDays(-30);
}

QString DeleteResultsModel::LabelText() const
{
    QString name;
    if (m_data.CurrentUser) {
        const TUserInfo& user = *m_data.CurrentUser;
        name = user.DisplayName;
        if (name.isEmpty())
            name = GivenName(user.Record.FullName) + QLatin1Char(' ') +
                   FamilyName(user.Record.FullName);
    }
    return Format(m_strings.StrDeleteResultsFormat, {name});
}

Status<DataError> DeleteResultsModel::Delete(const QDate& chosen)
{
    if (!m_data.CurrentUser || !chosen.isValid())
        return Fail(DataError::NoUser);
    const std::uint16_t id = m_data.CurrentUser->Record.UserId;
    const double cutoff = ToDaysSince1899(QDateTime(chosen, QTime(0, 0)));
    Status<DataError> purged = PurgeResults(m_data, id, cutoff);
    if (!purged && !ShownByOpening(purged.Err().code))
        m_data.prompts.ShowError(
            FileErrorText(m_strings.StrResultFile, ResultFileName(m_data, id), purged.Err()),
            m_strings.StrMessageTitle);
    LoadResults(m_data, id);
    // The statistics summed what is gone.
    m_data.CurrentUser->Computed = false;
    if (m_data.ResultUser && m_data.ResultUser->Record.UserId == id)
        m_data.ResultUser->Computed = false;
    return purged;
}

} // namespace pv
