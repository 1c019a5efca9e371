// The 620-byte user record of User.dat, its built-in default, and the full-name helpers.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include <QString>

namespace pv {

inline constexpr std::size_t kUserRecSize = 620;
/// Separates the given and the family part of a full name (the byte 0xA7 in the file).
inline constexpr char16_t kFullNameSeparator = u'\u00A7';

struct TUserRec
{
    std::uint16_t UserId = 0;  ///< > 0 = a user
    std::int32_t UserKind = 0; ///< 1..3
    QString LoginName;         ///< string[19], upper-cased
    QString FullName;          ///< string[31]: given part, 0xA7, family part
    QString SetupFolder;       ///< string[149]: initial folder of the setup open dialog
    std::array<std::uint8_t, 4> Flags{};
    std::array<std::int32_t, 10> TutorSteps{};  ///< per exercise kind 1..10 (index 0 = kind 1)
    std::array<std::int32_t, 10> TutorValues{}; ///< written as 0 by the tutor chooser; carried
    QString TutorFileName;                      ///< string[151]; empty or "\" = no tutor
    QString LastSetupFile;                      ///< string[151]
    std::uint16_t ClassId = 0;                  ///< compared with the ids of Class.dat
    /// The record as stored; every byte not named above (and the bytes after each text) is
    /// written back from here unchanged.
    std::array<std::uint8_t, kUserRecSize> Raw{};

    bool operator==(const TUserRec&) const = default;
};

/// The record of a new user.
TUserRec DefaultUser();
/// Nothing unless bytes holds exactly one record.
std::optional<TUserRec> DecodeUserRec(std::span<const std::uint8_t> bytes);
std::array<std::uint8_t, kUserRecSize> EncodeUserRec(const TUserRec& rec);

/// Upper-cases the ASCII letters only, so names with other letters keep matching as stored.
QString UpperCaseAscii(const QString& text);
/// The part before the first separator, or the whole name.
QString GivenName(const QString& fullName);
/// The part after the first separator, or empty.
QString FamilyName(const QString& fullName);
/// Family part, ", " when it is not empty, then the given part.
QString SortName(const QString& fullName);
/// The name as shown: the given part, then a blank and the family part when it is not empty
/// (a name typed in one field has none, and a trailing blank would show inside quotes).
QString ShownName(const QString& fullName);

} // namespace pv
