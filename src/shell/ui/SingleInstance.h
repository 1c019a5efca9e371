// One running copy per user: a later start asks the running copy to come to the front and ends.
#pragma once

#include "music/base/Result.h"

#include <functional>

#include <QObject>
#include <QString>

class QLocalServer;

namespace pv {

/// Why the guard has no folder to work in.
enum class GuardError : int
{
    NoPrivateFolder = 1, ///< no folder of the user's own, closed to others, could be had
};

class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    /// How a start goes on.
    enum class Start : int
    {
        First = 0,     ///< no other copy runs: this one runs and listens for later starts
        Raised = 1,    ///< a running copy was asked to come to the front: this one must end
        Unguarded = 2, ///< the guard could not decide (its folder, or a copy that never
                       ///< answered): this one runs, since that is no reason to refuse starting
    };

    /// The folder where the guard keeps its lock and socket, private to the user: "pellivark"
    /// in the user's runtime folder when that is the user's own and closed to others, else in
    /// the user's cache folder. It is made 0700 when missing; a link, or a folder of another
    /// owner, is refused, and a shared temporary folder is never used, as a socket there could
    /// be anyone's.
    static Result<QString, GuardError> PrivateFolder();

    /// folder: where the lock and the socket live (see PrivateFolder).
    explicit SingleInstance(QString folder, QObject* parent = nullptr);
    /// Closes the socket before the lock goes, so a copy started meanwhile never loses its
    /// socket to this one's cleaning up.
    ~SingleInstance() override;

    /// Decides under the lock, so two starts at the same moment give one running copy. The
    /// copy that takes the lock runs: it removes a socket a crashed copy left and listens,
    /// each later start running raise (on this thread). A copy that finds the lock taken asks
    /// the copy holding it, over a socket owned by this user only, to come to the front, and
    /// keeps asking for up to waitMs while that copy is still starting; a lock left by a
    /// crashed copy is no lock (the system drops it with the process).
    Start Begin(std::function<void()> raise, int waitMs = 20000);

    QString Folder() const { return m_folder; }
    QString SocketName() const;

private:
    bool RaiseRunningInstance(int timeoutMs);
    void OnNewConnection();

    QString m_folder;
    int m_lockFd = -1;
    QLocalServer* m_server = nullptr;
    std::function<void()> m_raise;
};

/// The name of a start's outcome, for the log.
const char* StartName(SingleInstance::Start start);

} // namespace pv
