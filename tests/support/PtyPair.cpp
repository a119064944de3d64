#include "support/PtyPair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <chrono>
#include <climits>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point end) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    return left < 0 ? 0 : left > INT_MAX ? INT_MAX : int(left);
}

}  // namespace

PtyPair::PtyPair() {
    termios raw{};
    cfmakeraw(&raw);
    cfsetispeed(&raw, B9600);
    cfsetospeed(&raw, B9600);
    char name[128] = {};
    if (openpty(&master_, &slaveKeeper_, name, &raw, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slaveKeeper_, F_SETFD, FD_CLOEXEC);
    slavePath_ = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair() {
    CloseMaster();
    if (slaveKeeper_ >= 0) ::close(slaveKeeper_);
}

void PtyPair::CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

bool PtyPair::WriteMaster(const QByteArray& bytes, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        if (Clock::now() >= end) return false;
        pollfd pfd{master_, POLLOUT, 0};
        poll(&pfd, 1, MsLeft(end));
    }
    return true;
}

QByteArray PtyPair::ReadMaster(int count, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    QByteArray got;
    while (got.size() < count) {
        char chunk[512];
        const ssize_t n =
            ::read(master_, chunk, std::min<size_t>(sizeof chunk, size_t(count - got.size())));
        if (n > 0) {
            got.append(chunk, n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) break;
        if (Clock::now() >= end) break;
        pollfd pfd{master_, POLLIN, 0};
        poll(&pfd, 1, MsLeft(end));
    }
    return got;
}
