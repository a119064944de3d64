#pragma once
// Pairs the packets received on the device network with the requests still
// waiting for them, turns each into a status and the operator's result text,
// and keeps the per-address tables. It does no input or output of its own:
// what must be asked of the network afterwards (a device that changed its
// address) is handed back to the caller.

#include "netlink/NetDeviceTables.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Everything one interpretation pass reads and changes.
struct NetInterpretation {
    QStringList& memoSend;  // requests sent and not yet answered
    QStringList& memoRead;  // packets received and not yet interpreted
    NetDeviceTables& tables;
    int& selectedAddr;
    QStringList& answerLog;   // result texts of devices
    QStringList& deviceList;  // the found-device list
    QStringList& formLog;     // result texts of the adapter
    int sepDevice = 63;
    QString logFileName;  // the packet log file, named in the adapter's confirmation
    bool appendLog = false;
};

// A device answered the order to move from one address to another (-1: not known).
struct NetAddressChange {
    int oldAddress = -1;
    int newAddress = -1;
};

// A received packet a pass took, as what it was to the request it answered;
// requestHex is empty for a packet taken by itself (unsolicited mode).
struct NetTakenAnswer {
    enum Kind { Positive, Refusal, Echo };
    Kind kind = Positive;
    TNetFrame answer;
    QString requestHex;
};

struct NetInterpretResult {
    std::optional<QString> adapterVersion;  // "$HH$HH$HH" when the adapter told it
    QList<NetAddressChange> addressChanges;
    QList<NetTakenAnswer> taken;  // in the order they were taken
};

// Mode text "0": every received packet is taken by itself (late answers, the
// adapter's own reports); anything else pairs packets with requests. The mode
// text comes back as a marker or data for the caller ("*", "#", "%", the hex
// text of a memory-read answer, "EM8D"/"EM0D" card texts), unchanged when there
// is none. Status comes back "Error" when the last packet looked at paired
// with nothing, else empty.
NetInterpretResult InterpretAnswers(NetInterpretation& io, QString& modeText, QString& status);

// Texts shared with the link layer.
QString DelayedAnswerSuffix();  // " Ответ пришёл с задержкой!"
