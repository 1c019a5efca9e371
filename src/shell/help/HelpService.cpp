// Opening the help file for a topic and saying why it cannot be.
#include "shell/help/HelpService.h"

#include "music/strings/UIStrings.h"

#include <QDir>

namespace pv {

Result<HelpTopic, HelpFileError> OpenHelpTopic(const QString& path, std::optional<int> context)
{
    if (path.isEmpty())
        return Fail(HelpFileError::Missing);
    auto book = ReadHelpFile(path);
    if (!book)
        return book.Err();
    const QString key = context ? book.Value().PageFor(*context).Key : book.Value().Contents().Key;
    return HelpTopic{std::move(book.Value()), key};
}

QString HelpFailureText(const QString& path, const Failure<HelpFileError>& failure,
                        const UIStringTable& strings)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (failure.code == HelpFileError::Missing) {
        if (path.isEmpty())
            return QStringLiteral("No help file is installed.");
        return strings.StrFileNotFound + QStringLiteral("\n\n") + shown;
    }
    QString why;
    switch (failure.code) {
    case HelpFileError::TooLarge:
        why = QStringLiteral("it is larger than any help file");
        break;
    case HelpFileError::NotHelpFile:
        why = QStringLiteral("it is no help file of Pellivark");
        break;
    case HelpFileError::NewerFormat:
        why = QStringLiteral("it was made for a later version of Pellivark");
        break;
    case HelpFileError::Damaged:
        why = QStringLiteral("it is damaged (%1)").arg(failure.detail);
        break;
    default:
        why = failure.detail.isEmpty() ? QStringLiteral("it cannot be read") : failure.detail;
        break;
    }
    return QStringLiteral("The help file cannot be shown: %1.\n\n%2").arg(why, shown);
}

} // namespace pv
