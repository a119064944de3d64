#pragma once
// One running program per desktop session: the running main window listens on
// a local socket named after the caption it guards, and a later start that
// finds a listener ends at once. The window stops listening when its caption
// changes away from the guarded one, and listens again when it comes back.

#include <QObject>
#include <QString>

class QLocalServer;

class SingleInstanceGuard : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstanceGuard(const QString& guardedCaption, QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    // Socket name for a caption (a fixed prefix and the caption's UTF-8 in hex,
    // so any caption gives a valid name).
    static QString SocketName(const QString& caption);
    // True when a program already listens for this caption.
    static bool IsRunning(const QString& caption);

    // Listens while caption equals the guarded caption, stops otherwise.
    void FollowCaption(const QString& caption);
    bool Listening() const;

  private:
    bool listen();
    void stop();

    QString guarded_;
    QLocalServer* server_ = nullptr;
};
