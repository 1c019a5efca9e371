// The program's version and the texts the splash window shows of it.
#pragma once

#include <cstdint>

#include <QString>

namespace pv {

struct ProgramVersion
{
    std::uint16_t Major = 0;
    std::uint16_t Minor = 0;
    std::uint16_t Release = 0;
    std::uint16_t Build = 0;
};

/// The version this program was built as.
ProgramVersion ReadVersionInfo();
/// "major.minor", followed directly by the release when it is not 0 (4.0.2 reads "4.02").
QString VersionText(const ProgramVersion& version);
/// "Pellivark Pro " and the version text.
QString SplashTitle(const ProgramVersion& version);
/// "(build n)".
QString BuildText(const ProgramVersion& version);

} // namespace pv
