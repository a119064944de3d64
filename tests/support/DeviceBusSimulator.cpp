#include "support/DeviceBusSimulator.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <stdexcept>

DeviceBusSimulator::DeviceBusSimulator(PtyPair& pty) : pty_(pty) {
    stopFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd_ < 0) throw std::runtime_error("eventfd failed");
    thread_ = std::thread([this] { Run(); });
}

DeviceBusSimulator::~DeviceBusSimulator() {
    const quint64 one = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopFd_, &one, sizeof one);
    thread_.join();
    ::close(stopFd_);
}

QByteArray DeviceBusSimulator::Frame(std::initializer_list<int> bytes) {
    QByteArray frame(kFrameSize, '\0');
    int i = 0;
    for (int b : bytes) {
        if (i < kFrameSize) frame[i++] = char(b);
    }
    return frame;
}

QByteArray DeviceBusSimulator::FrameFromHex(const QByteArray& hex) {
    QByteArray frame = QByteArray::fromHex(hex).left(kFrameSize);
    frame.append(QByteArray(kFrameSize - frame.size(), '\0'));
    return frame;
}

void DeviceBusSimulator::ScriptAnswer(const QList<QByteArray>& answer) {
    std::lock_guard lock(mutex_);
    script_.push_back(answer);
}

void DeviceBusSimulator::SetHandler(Handler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

QList<QByteArray> DeviceBusSimulator::Received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

bool DeviceBusSimulator::WaitForFrames(int count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return frameCame_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [&] { return received_.size() >= count; });
}

void DeviceBusSimulator::Run() {
    QByteArray pending;
    for (;;) {
        pollfd fds[2] = {{stopFd_, POLLIN, 0}, {pty_.MasterFd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[0].revents != 0) return;
        if (fds[1].revents & (POLLERR | POLLNVAL)) return;
        char chunk[256];
        const ssize_t n = ::read(pty_.MasterFd(), chunk, sizeof chunk);
        if (n <= 0) {
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            return;
        }
        pending.append(chunk, n);
        while (pending.size() >= kFrameSize) {
            const QByteArray frame = pending.left(kFrameSize);
            pending.remove(0, kFrameSize);
            Answer(frame);
        }
    }
}

void DeviceBusSimulator::Answer(const QByteArray& frame) {
    QList<QByteArray> answer;
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        received_.append(frame);
        if (!script_.empty()) {
            answer = script_.front();
            script_.pop_front();
        } else {
            handler = handler_;
        }
    }
    frameCame_.notify_all();
    if (handler) answer = handler(frame);
    for (const QByteArray& bytes : answer) {
        if (!Send(bytes)) return;
    }
}

bool DeviceBusSimulator::Send(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(pty_.MasterFd(), bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        pollfd fds[2] = {{stopFd_, POLLIN, 0}, {pty_.MasterFd(), POLLOUT, 0}};
        poll(fds, 2, -1);
        if (fds[0].revents != 0) return false;
    }
    return true;
}
