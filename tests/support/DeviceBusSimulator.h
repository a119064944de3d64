#pragma once
// A simulated device bus on the master side of a PtyPair. A thread cuts what
// the program sends into 30-byte frames, records each one, and answers it
// with the next scripted answer or, when the script is used up, with the
// handler's answer (or not at all).

#include "support/PtyPair.h"

#include <QByteArray>
#include <QList>

#include <condition_variable>
#include <deque>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <thread>

class DeviceBusSimulator {
  public:
    static constexpr int kFrameSize = 30;
    // The frames (or any bytes) to send back for one received frame.
    using Handler = std::function<QList<QByteArray>(const QByteArray& frame)>;

    explicit DeviceBusSimulator(PtyPair& pty);
    ~DeviceBusSimulator();
    DeviceBusSimulator(const DeviceBusSimulator&) = delete;
    DeviceBusSimulator& operator=(const DeviceBusSimulator&) = delete;

    // A frame of the given bytes, filled up with zeros to 30 bytes.
    static QByteArray Frame(std::initializer_list<int> bytes);
    // A frame from hexadecimal digits ("7F7F0600"), filled up with zeros.
    static QByteArray FrameFromHex(const QByteArray& hex);

    // Answers the next received frame with these bytes, sent as they are.
    void ScriptAnswer(const QList<QByteArray>& answer);
    void ScriptAnswer(const QByteArray& answer) { ScriptAnswer(QList<QByteArray>{answer}); }
    // The next received frame gets no answer.
    void ScriptSilence() { ScriptAnswer(QList<QByteArray>{}); }
    void SetHandler(Handler handler);

    // Every frame received so far, in order.
    QList<QByteArray> Received() const;
    // Waits until at least count frames were received.
    bool WaitForFrames(int count, int timeoutMs) const;

  private:
    void Run();
    void Answer(const QByteArray& frame);
    bool Send(const QByteArray& bytes);

    PtyPair& pty_;
    int stopFd_ = -1;
    mutable std::mutex mutex_;
    mutable std::condition_variable frameCame_;
    std::deque<QList<QByteArray>> script_;
    Handler handler_;
    QList<QByteArray> received_;
    std::thread thread_;
};
