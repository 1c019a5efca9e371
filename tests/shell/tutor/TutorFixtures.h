// Tutors for the tests: a description over several kinds, and raw files built at literal
// offsets.
#pragma once

#include "shell/tutor/TutorDescription.h"
#include "shell/tutor/TutorFile.h"
#include "support/ByteBuilder.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv::test {

/// Steps over every kind (none for rhythm reading), with marks, texts and setups that differ.
inline const char* kLadderDescription = R"(# a tutor of every kind
title = Ladder
author = Teacher
description = Steps of every kind

[step chords]
title = Major and minor
description = Two chords
pass = 80
fallback = 40
questions = 20
items = 1, 2
play = simultaneous
text = Listen to the third.
text = Then sing it.

[step chords]
title = Diminished and augmented
pass = 85
fallback = 45
questions = 25
items = 3, 4
play = up, down
highest-note = 79

[step intervals]
title = Seconds
pass = 70
fallback = 30
questions = 10
items = 1, 2, 25

[step comparison]
title = Compare thirds
pass = 75
fallback = 35
questions = 12
items = 3, 4

[step rhythm-imitation]
title = Quarters in 4/4
pass = 60
fallback = 20
questions = 8
time-signatures = 3
note-values = 3
tempo = 90
bars = 2

[step rhythm-errors]
title = Spot the error
pass = 65
fallback = 25
questions = 6
time-signatures = 1, 2
note-values = 2, 3, 4
corrections = 3
evaluation = 2

[step inversions]
title = Root and first inversion
pass = 90
fallback = 50
questions = 30
items = 1, 2

[step scales]
title = Major and minor scales
pass = 81
fallback = 41
questions = 15
items = 1, 2, 3
text = Sing the scale back.

[step melody]
title = Three notes
pass = 55
fallback = 15
questions = 5
keys = -1, 0, 1
tones = 3

[step progressions]
title = Cadences
pass = 77
fallback = 33
questions = 14
items = 1, 2, 35
)";

inline TutorFileData LadderTutor()
{
    auto parsed = ParseTutorDescription(QString::fromUtf8(kLadderDescription), QString());
    EXPECT_TRUE(parsed.Ok()) << (parsed.Ok() ? "" : parsed.Detail().toStdString());
    return parsed.Ok() ? parsed.Value() : TutorFileData{};
}

/// A tutor with its header and items but no step for any kind.
inline TutorFileData TutorWithoutSteps(const QString& title)
{
    TutorFileData data = LadderTutor();
    data.Header.Title = title;
    for (auto& steps : data.Steps)
        steps.clear();
    return data;
}

inline std::vector<std::uint8_t> Encoded(const TutorFileData& data)
{
    auto bytes = EncodeTutorFile(data);
    EXPECT_TRUE(bytes.Ok());
    return bytes.Ok() ? bytes.Value() : std::vector<std::uint8_t>{};
}

/// A header at its literal offsets: title, table entries 1..11 and the format mark.
inline ByteBuilder HeaderBytes(const std::string& title, const std::vector<int>& table,
                               std::uint16_t mark = kTutorFormatMark)
{
    ByteBuilder b(kTutorHeaderSize);
    b.Str(0, title);
    for (std::size_t i = 0; i < table.size(); ++i)
        b.U16(346 + 2 * (i + 1), static_cast<std::uint16_t>(table[i]));
    b.U16(388, mark);
    return b;
}

/// A step record at its literal offsets, with an extra-text length.
inline std::vector<std::uint8_t> StepBytes(const std::string& title, std::uint8_t pass,
                                           std::uint16_t textLength,
                                           std::vector<std::uint8_t> setup = {})
{
    ByteBuilder b(kTutorStepSize);
    b.Str(0, title);
    b.U8(308, pass);
    b.U8(309, 10);
    b.U16(310, 12);
    for (std::size_t i = 0; i < setup.size(); ++i)
        b.U8(316 + i, setup[i]);
    b.U16(446, textLength);
    return b.Bytes();
}

inline void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& bytes)
{
    to.insert(to.end(), bytes.begin(), bytes.end());
}

inline void AppendText(std::vector<std::uint8_t>& to, const std::string& text)
{
    to.insert(to.end(), text.begin(), text.end());
}

} // namespace pv::test
