#pragma once
// One running program per user session, whatever its window shows: the
// running program listens on a local socket in the user's runtime folder, and
// a later start that finds the listener asks it to show its window and ends.
// So two copies never work on one database from one desktop, whichever
// folders they use. The folder is used only when it is the user's own and
// closed to everybody else, so another account can neither keep the program
// from starting nor hear its requests; without such a folder the program
// runs unguarded.

#include <QObject>
#include <QString>

class QLocalServer;

class SingleInstanceGuard : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstanceGuard(QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    // The full path of the program's socket for the current user; empty when
    // the user has no private runtime folder.
    static QString SocketName();
    // The socket's path in the given runtime folder; empty unless the folder
    // is the user's own and closed to everybody else.
    static QString SocketNameIn(const QString& runtimeFolder);
    // True when another copy of the program holds the place.
    static bool IsRunning();
    // Asks the copy that holds the place to show its window; true when it
    // answered that it did.
    static bool AskRunningToShow(int timeoutMs = 5000);

    // Takes the program's place. False when another copy holds it: this one
    // then ends. Where no socket can be made at all, true without holding
    // it: the program runs unguarded rather than not at all.
    bool Claim();
    bool Held() const;

  signals:
    // A later start asked this copy to show its window.
    void ShowRequested();

  private:
    void answer(class QLocalSocket* socket);

    QLocalServer* server_ = nullptr;
};
