#pragma once
// One running program per user session, whatever its window shows: the
// running program listens on a local socket named after the program and the
// user, and a later start that finds the listener ends at once. So two copies
// never work on one database from one desktop, whichever folders they use.

#include <QObject>
#include <QString>

class QLocalServer;

class SingleInstanceGuard : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstanceGuard(QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    // The program's socket name for the current user.
    static QString SocketName();
    // True when another copy of the program holds the place.
    static bool IsRunning();

    // Takes the program's place. False when another copy holds it: this one
    // then ends. Where no socket can be made at all, true without holding
    // it: the program runs unguarded rather than not at all.
    bool Claim();
    bool Held() const;

  private:
    QLocalServer* server_ = nullptr;
};
