#pragma once
// A fixed list of serial ports in place of the system's, installed while the
// object lives.

#include "netlink/ComPortEnumerator.h"

class FakeComPorts : public ComPortEnumerator {
  public:
    FakeComPorts() : previous_(ComPorts::SetEnumerator(this)) {}
    ~FakeComPorts() override { ComPorts::SetEnumerator(previous_); }
    FakeComPorts(const FakeComPorts&) = delete;
    FakeComPorts& operator=(const FakeComPorts&) = delete;

    FakeComPorts& Add(const QString& path, const QString& description,
                      const QString& vid = QStringLiteral("0403"),
                      const QString& pid = QStringLiteral("6001")) {
        ports.append({path, description, QString(), vid, pid});
        return *this;
    }
    // An adapter of the device network.
    FakeComPorts& AddAdapter(const QString& path, const QString& vid = QStringLiteral("0403"),
                             const QString& pid = QStringLiteral("6001")) {
        return Add(path, QStringLiteral("DARVO CWN USB"), vid, pid);
    }

    QList<ComPortInfo> Ports() const override { return ports; }

    QList<ComPortInfo> ports;

  private:
    ComPortEnumerator* previous_;
};
