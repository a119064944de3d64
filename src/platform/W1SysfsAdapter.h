#pragma once
// The 1-Wire adapter over the kernel's w1 devices (a USB 1-Wire adapter with
// its kernel driver and the wire module). The kernel searches the line itself
// and lists the devices it found; this backend answers the reader's calls
// from that list: presence is a touch key among the slaves of the bus master, and the
// Read ROM exchange gives back the key's 8 ROM bytes. The adapter's own
// identification chip (family 81) is no key.
//
// Layout under the root (default /sys/bus/w1/devices):
//   w1_bus_masterN/w1_master_slaves   one slave name per line ("01-0000a1b2c3d4")
//   <slave>/id                        the slave's 8 ROM bytes as on the line

#include "platform/OneWireAdapter.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

class W1SysfsAdapter : public OneWireAdapter {
  public:
    static QString DefaultRoot();

    explicit W1SysfsAdapter(const QString& root = DefaultRoot());
    QString Root() const { return root_; }
    void SetRoot(const QString& root) { root_ = root; }

    bool Load() override;
    qint32 StartSession(qint16 portNumber, qint16 portType, qint32* option) override;
    qint16 Setup(qint32 session) override;
    qint16 TouchReset(qint32 session) override;
    qint16 BlockStream(qint32 session, quint8* buffer, qint16 length) override;
    void Close(qint32 session) override;
    void EndSession(qint32 session) override;

  private:
    QString masterPath(qint32 session) const;
    bool masterPresent(qint32 session) const;
    QStringList keySlaves(qint32 session) const;
    QByteArray lineRom(const QStringList& slaves) const;

    QString root_;
    QHash<qint32, qint16> sessions_;  // handle -> port number
    qint32 nextHandle_ = 1;
};
