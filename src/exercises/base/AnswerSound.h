// The sound played after an answer: which file, and the small service that plays it.
#pragma once

#include <QString>

namespace pv {

/// What the settings say about answer sounds.
struct AnswerSoundChoice
{
    bool SoundEffects = false; ///< sound effects are on
    QString MediaFolder;       ///< folder of the sound files
    QString CorrectSound;      ///< file name without ".wav" for a right answer
    QString WrongSound;        ///< file name without ".wav" for a wrong answer
};

class IAnswerSound
{
public:
    virtual ~IAnswerSound() = default;
    /// Starts the wave file and returns at once; a file that cannot be played stays silent.
    virtual void Play(const QString& wavFile) = 0;
};

/// The wave file for an answer, or empty when sound effects are off, the name is empty or no such
/// file exists. The name is looked up case-insensitively (an exact match wins).
QString AnswerSoundFile(const AnswerSoundChoice& choice, bool right);

} // namespace pv
