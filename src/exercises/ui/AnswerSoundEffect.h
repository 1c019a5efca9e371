// The answer sound on Qt Multimedia: one preloaded sound effect per wave file.
#pragma once

#include "exercises/base/AnswerSound.h"
#include "music/input/WaveOutVolume.h"

#include <map>

#include <QObject>

class QSoundEffect;

namespace pv {

/// Registered with the wave-out volume, which sets its level.
class AnswerSoundEffect final : public QObject, public IAnswerSound, public IVolumeTarget
{
    Q_OBJECT

public:
    explicit AnswerSoundEffect(QObject* parent = nullptr);
    ~AnswerSoundEffect() override;

    /// Loads a file ahead of its first answer, so the sound starts without delay.
    void Preload(const QString& wavFile);
    /// 0.0 .. 1.0 for every effect.
    void SetVolume(float volume);
    float Volume() const { return m_volume; }
    void SetLevel(float level) override { SetVolume(level); }
    void Play(const QString& wavFile) override;
    /// Ends every sound that plays.
    void Stop();

private:
    QSoundEffect* EffectFor(const QString& wavFile);

    std::map<QString, QSoundEffect*> m_effects;
    float m_volume = 1.0F;
};

} // namespace pv
