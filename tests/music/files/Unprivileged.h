// Lets file permissions bind in a test even when it runs as root.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QString>

namespace pv::test {

/// While it lives, a process running as root acts with the ids of "nobody" (65534), so a file
/// without permissions is refused as it would be for any user; otherwise it does nothing.
/// The folder given is opened to everyone so that the files in it can be reached at all.
class ActAsUnprivileged
{
public:
    explicit ActAsUnprivileged(const QString& reachableFolder)
    {
        if (geteuid() != 0)
            return;
        chmod(QFile::encodeName(reachableFolder).constData(), 0777);
        m_dropped = setegid(kNobody) == 0 && seteuid(kNobody) == 0;
    }
    ~ActAsUnprivileged()
    {
        if (m_dropped) {
            // Back to root: the saved set-user-id allows it.
            [[maybe_unused]] const int user = seteuid(0);
            [[maybe_unused]] const int group = setegid(0);
        }
    }
    ActAsUnprivileged(const ActAsUnprivileged&) = delete;
    ActAsUnprivileged& operator=(const ActAsUnprivileged&) = delete;

    /// False when running as root and the ids could not be dropped: permissions prove nothing.
    bool Binding() const { return geteuid() != 0; }

private:
    static constexpr uid_t kNobody = 65534;
    bool m_dropped = false;
};

} // namespace pv::test
