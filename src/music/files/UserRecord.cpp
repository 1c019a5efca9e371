// The user record's layout, read and written through one field list, and the name helpers.
#include "music/files/UserRecord.h"

#include "music/files/RecordHelpers.h"

namespace pv {

namespace {

template <class IO, class Rec> void UserFields(IO& io, Rec& rec)
{
    io.U16(0, rec.UserId);
    io.I32(4, rec.UserKind);
    io.LengthPrefixedString(8, 19, rec.LoginName);
    io.LengthPrefixedString(44, 31, rec.FullName);
    io.LengthPrefixedString(76, 149, rec.SetupFolder);
    io.Bytes(226, rec.Flags);
    Table(io, 232, 4, rec.TutorSteps, [](auto& entry, auto& step) { entry.I32(0, step); });
    Table(io, 272, 4, rec.TutorValues, [](auto& entry, auto& value) { entry.I32(0, value); });
    io.LengthPrefixedString(312, 151, rec.TutorFileName);
    io.LengthPrefixedString(464, 151, rec.LastSetupFile);
    io.U16(616, rec.ClassId);
}

const auto kUserFields = [](auto& io, auto& rec) { UserFields(io, rec); };

} // namespace

TUserRec DefaultUser()
{
    TUserRec rec;
    rec.UserId = 1;
    rec.UserKind = 1;
    rec.Flags = {1, 1, 1, 1};
    rec.TutorSteps.fill(1);
    rec.Raw = EncodeUserRec(rec);
    return rec;
}

std::optional<TUserRec> DecodeUserRec(std::span<const std::uint8_t> bytes)
{
    return detail::DecodeRecord<TUserRec>(bytes, kUserFields);
}

std::array<std::uint8_t, kUserRecSize> EncodeUserRec(const TUserRec& rec)
{
    return detail::EncodeRecord(rec, kUserFields);
}

QString UpperCaseAscii(const QString& text)
{
    QString upper = text;
    for (QChar& c : upper) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(static_cast<char16_t>(c.unicode() - u'a' + u'A'));
    }
    return upper;
}

QString GivenName(const QString& fullName)
{
    const qsizetype at = fullName.indexOf(QChar(kFullNameSeparator));
    return at < 0 ? fullName : fullName.left(at);
}

QString FamilyName(const QString& fullName)
{
    const qsizetype at = fullName.indexOf(QChar(kFullNameSeparator));
    return at < 0 ? QString() : fullName.mid(at + 1);
}

QString ShownName(const QString& fullName)
{
    const QString family = FamilyName(fullName);
    return family.isEmpty() ? GivenName(fullName) : GivenName(fullName) + QLatin1Char(' ') + family;
}

QString SortName(const QString& fullName)
{
    const QString family = FamilyName(fullName);
    return family.isEmpty() ? GivenName(fullName)
                            : family + QStringLiteral(", ") + GivenName(fullName);
}

} // namespace pv
