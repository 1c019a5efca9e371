// A readable description of a tutor, for writing tutor files by hand and printing them back:
// header lines, then one section per step whose setup is given by named fields or taken from a
// setup file.
//
//     title = First steps            # '#' starts a comment line
//     author = A. Teacher
//     description = Chords and intervals for beginners
//
//     [step chords]                  # a kind: chords, intervals, comparison,
//     title = Major and minor        #   rhythm-imitation, rhythm-reading, rhythm-errors,
//     pass = 80                      #   inversions, scales, melody, progressions
//     fallback = 40
//     questions = 20
//     setup = Default_level.qib      # the kind's block of a setup file, then fields on top
//     items = 1, 2
//     text = First line of the advice   # repeated lines join with a line break
//
// Texts take "\n" for a line break and "\\" for a backslash.
#pragma once

#include "shell/tutor/TutorFile.h"

#include <QString>

namespace pv {

enum class TutorDescriptionError : int
{
    Syntax = 1,       ///< a line is neither a section, a field nor a comment
    UnknownField = 2, ///< a field name the section does not have
    BadValue = 3,     ///< a number out of range, an unknown name in a list
    SetupFile = 4,    ///< the setup file named could not be read
    TextTooLong = 5,  ///< a text longer than its field: refused, never cut
};

/// Reads a description; setup files named in it are looked for relative to baseFolder. The
/// item body is the program's built-in item tables. The detail names the line at fault.
Result<TutorFileData, TutorDescriptionError> ParseTutorDescription(const QString& text,
                                                                   const QString& baseFolder);

/// The tutor as a description that reads back to the same steps.
QString PrintTutorDescription(const TutorFileData& data);

} // namespace pv
