// One running copy per user: a later start asks the running copy to come to the front and ends.
#pragma once

#include <functional>

#include <QObject>
#include <QString>

class QLocalServer;

namespace pv {

class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    /// serverName: a name of the user's own (see DefaultServerName).
    explicit SingleInstance(QString serverName, QObject* parent = nullptr);
    ~SingleInstance() override;

    /// The per-user name: a socket in the user's runtime folder, so two users of one machine
    /// never meet and a test can keep its copies apart by giving them a runtime folder of
    /// their own (XDG_RUNTIME_DIR).
    static QString DefaultServerName();

    /// True when a running copy answered and was asked to come to the front: this copy must
    /// end without making any window.
    bool RaiseRunningInstance(int timeoutMs = 1000);

    /// Listens for later starts; each one runs raise (on this thread). A socket left behind by
    /// a copy that crashed is removed first. False when the name cannot be taken (the program
    /// then runs without the guard, it is no reason to refuse starting).
    bool Listen(std::function<void()> raise);

    QString ServerName() const { return m_serverName; }

private:
    void OnNewConnection();

    QString m_serverName;
    QLocalServer* m_server = nullptr;
    std::function<void()> m_raise;
};

} // namespace pv
