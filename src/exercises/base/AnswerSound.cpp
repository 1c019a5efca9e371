// Finding the answer sound's file.
#include "exercises/base/AnswerSound.h"

#include <QDir>
#include <QFileInfo>

namespace pv {

QString AnswerSoundFile(const AnswerSoundChoice& choice, bool right)
{
    if (!choice.SoundEffects)
        return {};
    const QString name = (right ? choice.CorrectSound : choice.WrongSound).trimmed();
    if (name.isEmpty() || choice.MediaFolder.isEmpty())
        return {};
    const QDir folder(choice.MediaFolder);
    const QString wanted = name + QStringLiteral(".wav");
    if (QFileInfo(folder.filePath(wanted)).isFile())
        return folder.filePath(wanted);
    // The settings name the sounds as typed on another system ("Correct"), the files may be
    // stored as "correct.wav": compare without case, in a fixed order so the choice is stable.
    const QStringList files = folder.entryList(QDir::Files, QDir::Name);
    for (const QString& file : files) {
        if (file.compare(wanted, Qt::CaseInsensitive) == 0)
            return folder.filePath(file);
    }
    return {};
}

} // namespace pv
