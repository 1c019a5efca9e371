// Carries out what an exercise model's operations and inputs cause as the exercise window does,
// without a window or a main window: answers are recorded and followed by what the model does
// next (unless a tutor is told to take them), questions put are counted and the automatic
// question's switches kept.
#pragma once

#include "exercises/base/ExerciseProtocol.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace pv::test {

class EffectsRecorder
{
public:
    explicit EffectsRecorder(IExerciseModel& model) : m_model(model) {}

    /// Runs one operation of the protocol and carries out what it caused.
    void Run(ExerciseOperation operation, std::uint32_t message = 0, bool tutorActive = false)
    {
        ExerciseRequest request;
        request.Operation = operation;
        request.Message = message;
        request.TutorActive = tutorActive;
        CarryOut(m_model.Run(request));
    }
    /// Carries out what the model's other inputs caused since the last time.
    void Settle() { CarryOut(m_model.TakeEffects()); }

    void CarryOut(const ExerciseEffects& effects)
    {
        if (effects.Answer) {
            answers.push_back(*effects.Answer);
            if (onAnswer)
                onAnswer(*effects.Answer);
        }
        if (effects.QuestionPut)
            ++questionsPut;
        if (effects.AutoNewQuestion) {
            autoTimer.push_back(*effects.AutoNewQuestion);
            if (onAutoTimer)
                onAutoTimer(*effects.AutoNewQuestion);
        }
        if (effects.Answer && !tutorTakesAnswers)
            CarryOut(m_model.ContinueAfterAnswer());
    }

    /// The automatic question's timer as last switched (off when never).
    bool AutoTimerOn() const { return !autoTimer.empty() && autoTimer.back(); }

    std::vector<bool> answers;
    int questionsPut = 0;
    std::vector<bool> autoTimer;
    /// Told of each answer before the model goes on, as the window's answer feedback is.
    std::function<void(bool)> onAnswer;
    std::function<void(bool)> onAutoTimer;
    /// Answers end a tutor step: the model does not go on after them.
    bool tutorTakesAnswers = false;

private:
    IExerciseModel& m_model;
};

} // namespace pv::test
