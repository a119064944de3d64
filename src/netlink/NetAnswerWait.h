#pragma once
// The wait for the answer to one request the device operations just sent.
//
// First phase: read attempts, each reading what came and interpreting it in
// request mode; a pause of SWaitNet between attempts ends as soon as a frame
// is complete. Second phase, only when the first brought nothing: what the
// journal still holds is interpreted by itself (late answers). The wait ends
// as soon as the awaited answer is taken, the device refuses the request, or
// the port is gone; it never lasts longer than its attempts allow.

#include "netlink/NetAnswerInterpreter.h"
#include "netlink/TNetFrame.h"

#include <QString>

#include <functional>

class TNetLink;

struct NetWaitRule {
    QString requestHex;  // the request sent
    // First-phase attempts; the phase also ends once the request is no
    // longer pending (answered or refused) when whilePending is set.
    int firstAttempts = 0;
    bool whilePending = true;
    // Second-phase attempts (0: no second phase).
    int secondAttempts = 0;
    // The awaited answer among the packets taken; empty: a positive answer
    // paired with the request.
    std::function<bool(const NetTakenAnswer&)> accept;
    // Interpret by itself also in attempts that read nothing (a request to a
    // class address, whose answer comes from the device's own address).
    bool interpretWithoutFrame = false;
    // An answer text that ends the wait ("sn" + the new address).
    std::function<bool(const QString& modeText)> modeDone;
};

struct NetWaitResult {
    bool answered = false;  // the awaited answer was taken
    bool refused = false;   // the device refused the request
    TNetFrame answer;       // the awaited answer
    QString modeText;       // the last answer text of the interpretation
};

NetWaitResult AwaitAnswer(TNetLink& link, const NetWaitRule& rule);

// A memory read or write answer of device a: command (without the selector
// bit) plus 0x80, and the memory address at echoed.
bool IsMemoryAnswer(const TNetFrame& answer, int a, int command, int at);
// Drops the memory-read and memory-write answers of device a still in the
// journal: answers to earlier requests, never to one about to be sent.
void DropMemoryAnswers(TNetLink& link, int a);
// The selector flag of a device's answer: the one of its request, which the
// answer of a selector device carries in its command byte.
int AnswerSelector(const TNetFrame& answer);
