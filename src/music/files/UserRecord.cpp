// Codec of the user record at the offsets of its stored layout.
#include "music/files/UserRecord.h"

#include "music/files/ByteIO.h"
#include "music/files/RecordHelpers.h"

namespace pv {

namespace {
constexpr std::size_t kUserId = 0;
constexpr std::size_t kUserKind = 4;
constexpr std::size_t kLoginName = 8;
constexpr std::size_t kFullName = 44;
constexpr std::size_t kSetupFolder = 76;
constexpr std::size_t kFlags = 226;
constexpr std::size_t kTutorSteps = 232;
constexpr std::size_t kTutorValues = 272;
constexpr std::size_t kTutorFileName = 312;
constexpr std::size_t kLastSetupFile = 464;
constexpr std::size_t kClassId = 616;
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
    const auto raw = detail::RecordBytes<kUserRecSize>(bytes);
    if (!raw)
        return std::nullopt;
    const ByteReader r(*raw);
    TUserRec rec;
    rec.Raw = *raw;
    rec.UserId = r.U16(kUserId);
    rec.UserKind = r.I32(kUserKind);
    rec.LoginName = r.ShortString(kLoginName, 19);
    rec.FullName = r.ShortString(kFullName, 31);
    rec.SetupFolder = r.ShortString(kSetupFolder, 149);
    for (std::size_t i = 0; i < rec.Flags.size(); ++i)
        rec.Flags[i] = r.U8(kFlags + i);
    for (std::size_t i = 0; i < 10; ++i) {
        rec.TutorSteps[i] = r.I32(kTutorSteps + 4 * i);
        rec.TutorValues[i] = r.I32(kTutorValues + 4 * i);
    }
    rec.TutorFileName = r.ShortString(kTutorFileName, 151);
    rec.LastSetupFile = r.ShortString(kLastSetupFile, 151);
    rec.ClassId = r.U16(kClassId);
    return rec;
}

std::array<std::uint8_t, kUserRecSize> EncodeUserRec(const TUserRec& rec)
{
    std::array<std::uint8_t, kUserRecSize> out = rec.Raw;
    ByteWriter w(out);
    w.U16(kUserId, rec.UserId);
    w.I32(kUserKind, rec.UserKind);
    w.ShortString(kLoginName, 19, rec.LoginName);
    w.ShortString(kFullName, 31, rec.FullName);
    w.ShortString(kSetupFolder, 149, rec.SetupFolder);
    for (std::size_t i = 0; i < rec.Flags.size(); ++i)
        w.U8(kFlags + i, rec.Flags[i]);
    for (std::size_t i = 0; i < 10; ++i) {
        w.I32(kTutorSteps + 4 * i, rec.TutorSteps[i]);
        w.I32(kTutorValues + 4 * i, rec.TutorValues[i]);
    }
    w.ShortString(kTutorFileName, 151, rec.TutorFileName);
    w.ShortString(kLastSetupFile, 151, rec.LastSetupFile);
    w.U16(kClassId, rec.ClassId);
    return out;
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

QString SortName(const QString& fullName)
{
    const QString family = FamilyName(fullName);
    return family.isEmpty() ? GivenName(fullName)
                            : family + QStringLiteral(", ") + GivenName(fullName);
}

} // namespace pv
