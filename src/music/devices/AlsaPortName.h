// ALSA sequencer port names as the program shows and stores them.
#pragma once

#include <string>

#include <QRegularExpression>
#include <QString>

namespace pv {

/// The client name the program's own ALSA ports carry.
inline const char* const kAlsaClientName = "Pellivark";

/// ALSA names end in the port's address ("... 128:0"), which changes between sessions: the
/// name without it stays the same, so it is what the settings keep.
inline QString ShownAlsaPortName(const std::string& name)
{
    static const QRegularExpression address(QStringLiteral("\\s+\\d+:\\d+$"));
    return QString::fromStdString(name).remove(address);
}

/// One of the program's own ports ("Pellivark:..."): offering it would let the program play
/// into its own input, or listen to its own output, and feed back without end.
inline bool IsOwnAlsaPort(const std::string& name)
{
    return QString::fromStdString(name).startsWith(QLatin1String(kAlsaClientName) +
                                                   QLatin1Char(':'));
}

} // namespace pv
