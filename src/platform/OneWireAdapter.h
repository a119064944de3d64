#pragma once
// The 1-Wire adapter as the key reader drives it: a session on one port, a
// setup, a reset with presence test and a block exchange. The values follow
// the adapter library the program was written for, so the reader's rules and
// messages keep their meaning whatever serves the calls: the kernel's w1
// devices here, a scripted fake in tests.

#include <QtGlobal>

class OneWireAdapter {
  public:
    virtual ~OneWireAdapter() = default;

    // False when the adapter's driver is not installed.
    virtual bool Load() = 0;
    // A session handle: above 0 valid, 0 the port is busy, below 0 an error code.
    virtual qint32 StartSession(qint16 portNumber, qint16 portType, qint32* option) = 0;
    // 0 setup failed, 1 or 2 ready, 3 no network, 4 not supported, other an error code.
    virtual qint16 Setup(qint32 session) = 0;
    // 0 no device, 1 or 2 presence, 3 line shorted, 5 not supported, other an error code.
    virtual qint16 TouchReset(qint32 session) = 0;
    // Sends length bytes and replaces each by the byte read back; the count
    // exchanged, below 0 an error code.
    virtual qint16 BlockStream(qint32 session, quint8* buffer, qint16 length) = 0;
    virtual void Close(qint32 session) = 0;
    virtual void EndSession(qint32 session) = 0;
};

// Codes the adapter answers with, as the reader reads them.
namespace OneWireCode {
constexpr qint16 kNotSupported = -3;
constexpr qint16 kAdapterLost = -12;
constexpr qint16 kSessionNotValid = -200;
}  // namespace OneWireCode

namespace OneWire {

// Installs the adapter the key reader uses (not owned); nullptr returns to
// the program's own. Returns the previous one.
OneWireAdapter* SetAdapter(OneWireAdapter* adapter);
// The installed adapter, or nullptr when the program's own is in use.
OneWireAdapter* InstalledAdapter();

}  // namespace OneWire
