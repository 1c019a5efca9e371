// The numbers of the ten exercises, as stored in setups, results and view tags.
#pragma once

#include <cstdint>

namespace pv {

/// The number 1..10 of an exercise; 0 and values above 10 name no exercise.
using ExerciseKind = std::uint8_t;

constexpr ExerciseKind kKindChordIdentification = 1;
constexpr ExerciseKind kKindIntervalIdentification = 2;
constexpr ExerciseKind kKindIntervalComparison = 3;
constexpr ExerciseKind kKindRhythmImitation = 4;
constexpr ExerciseKind kKindRhythmReading = 5;
constexpr ExerciseKind kKindRhythmErrorDetection = 6;
constexpr ExerciseKind kKindChordInversions = 7;
constexpr ExerciseKind kKindScales = 8;
constexpr ExerciseKind kKindMelodyDictation = 9;
constexpr ExerciseKind kKindChordProgressions = 10;

constexpr bool IsExerciseKind(int kind)
{
    return kind >= 1 && kind <= 10;
}

} // namespace pv
