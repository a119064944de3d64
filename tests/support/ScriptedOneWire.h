#pragma once
// The 1-Wire adapter's test double: installs itself for its lifetime and
// answers each call from its public fields, which a test changes between
// polls (a key touched, lifted, a shorted line, a lost adapter). Every call
// is kept in order by its library name.

#include "platform/OneWireAdapter.h"

#include <QByteArray>
#include <QStringList>

class ScriptedOneWire : public OneWireAdapter {
  public:
    ScriptedOneWire() { previous_ = OneWire::SetAdapter(this); }
    ~ScriptedOneWire() override { OneWire::SetAdapter(previous_); }
    ScriptedOneWire(const ScriptedOneWire&) = delete;
    ScriptedOneWire& operator=(const ScriptedOneWire&) = delete;

    // The 8 ROM bytes of a key as they come on the line, with their CRC.
    static QByteArray Rom(quint8 family, const QByteArray& serialLineOrder);

    bool driverInstalled = true;
    qint32 session = 7;     // TMExtendedStartSession's answer
    qint16 setup = 1;       // TMSetup's answer
    qint16 reset = 0;       // TMTouchReset's answer: 0 no key, 1 a key
    QByteArray rom;         // what a Read ROM gives in bytes 1 to 8 (ones when empty)
    qint16 exchanged = -1;  // TMBlockStream's count; -1 all bytes

    const QStringList& Calls() const { return calls_; }
    bool SessionOpen() const { return open_; }

    bool Load() override { return driverInstalled; }
    qint32 StartSession(qint16, qint16, qint32*) override {
        calls_ << QStringLiteral("TMExtendedStartSession");
        open_ = session > 0;
        return session;
    }
    qint16 Setup(qint32) override {
        calls_ << QStringLiteral("TMSetup");
        return setup;
    }
    qint16 TouchReset(qint32) override {
        calls_ << QStringLiteral("TMTouchReset");
        return reset;
    }
    qint16 BlockStream(qint32, quint8* buffer, qint16 length) override;
    void Close(qint32) override { calls_ << QStringLiteral("TMClose"); }
    void EndSession(qint32) override {
        calls_ << QStringLiteral("TMEndSession");
        open_ = false;
    }

  private:
    OneWireAdapter* previous_ = nullptr;
    QStringList calls_;
    bool open_ = false;
};
