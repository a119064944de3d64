#pragma once
// The 1-Wire key reader of the key screen: a session on the USB adapter while
// it is on, and one poll of the line at a time. A key held on the reader is
// entered once; it is entered again only after a poll without it.

#include "keys/OneWireNetwork.h"

#include <QString>

#include <memory>

class OneWireAdapter;

// What one poll found.
struct OneWirePoll {
    QString text;  // the ROM text, "нет ключа", "замыкание в линии" or an error
    QString number;  // a newly touched key for the number field; empty when none
    QString note;    // a line for the readers' log; empty when none
    QString error;   // an adapter failure the operator answers with Retry or Cancel
};

class OneWireKeyReader {
  public:
    // The USB adapter on the first port, as the program has always opened it.
    static constexpr int kPortNumber = 1;
    static constexpr int kPortType = 6;
    static constexpr quint8 kOption = 1;

    OneWireKeyReader();
    ~OneWireKeyReader();

    bool IsOn() const { return session_ != nullptr; }
    // Opens the session; throws OneWireError. Does nothing while on.
    void SwitchOn();
    // Ends the session.
    void SwitchOff();
    // One presence test and one Read ROM block. numberField is what the
    // number field holds: a key already there is not handed over again.
    OneWirePoll Poll(const QString& numberField);
    QString LastRomText() const { return lastRomText_; }

    // The adapter in use: the installed one, else the kernel's w1 devices
    // under the folder the settings file names.
    static OneWireAdapter& Adapter();

  private:
    void readKey(OneWirePoll& poll, const QString& numberField);

    std::unique_ptr<OneWireNetwork> session_;
    QString lastRomText_;
};
