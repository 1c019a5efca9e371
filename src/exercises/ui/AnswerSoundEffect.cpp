// Playing answer sounds asynchronously; a missing or unreadable file stays silent.
#include "exercises/ui/AnswerSoundEffect.h"

#include "music/files/RegularFile.h"

#include <QSoundEffect>
#include <QUrl>

namespace pv {

AnswerSoundEffect::AnswerSoundEffect(QObject* parent) : QObject(parent) {}

AnswerSoundEffect::~AnswerSoundEffect() = default;

QSoundEffect* AnswerSoundEffect::EffectFor(const QString& wavFile)
{
    // Checked the program's one safe way before the sound library opens it by name itself,
    // blocking: a pipe named like a sound would hold its loading thread for ever.
    if (wavFile.isEmpty() || !IsReadableRegularFile(wavFile, LinkRule::Follow))
        return nullptr;
    const auto found = m_effects.find(wavFile);
    if (found != m_effects.end())
        return found->second;
    // The effects are children of this object and go with it.
    auto* effect = new QSoundEffect(this);
    effect->setSource(QUrl::fromLocalFile(wavFile));
    effect->setVolume(m_volume);
    m_effects.emplace(wavFile, effect);
    return effect;
}

void AnswerSoundEffect::Preload(const QString& wavFile)
{
    EffectFor(wavFile);
}

void AnswerSoundEffect::SetVolume(float volume)
{
    m_volume = volume < 0.0F ? 0.0F : (volume > 1.0F ? 1.0F : volume);
    for (auto& [file, effect] : m_effects)
        effect->setVolume(m_volume);
}

void AnswerSoundEffect::Stop()
{
    for (auto& [file, effect] : m_effects) {
        if (effect->isPlaying())
            effect->stop();
    }
}

void AnswerSoundEffect::Play(const QString& wavFile)
{
    QSoundEffect* effect = EffectFor(wavFile);
    if (effect == nullptr)
        return;
    // A new answer cuts the previous sound short, as the system's one-sound player did.
    for (auto& [file, other] : m_effects) {
        if (other != effect && other->isPlaying())
            other->stop();
    }
    effect->stop();
    effect->play();
}

} // namespace pv
