#pragma once
// A pseudo-terminal pair standing in for a serial adapter: the program opens
// the slave side by its path, the test or a simulator plays the device on
// the master side. One slave descriptor stays open here, so the port can be
// closed and opened again without the master seeing a hang-up.

#include <QByteArray>
#include <QString>

class PtyPair {
  public:
    PtyPair();  // throws std::runtime_error when no pseudo-terminal can be made
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    // The device path to give TBComPort::SetPort.
    QString SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }

    // What the device sends; false when not all bytes went out within the time.
    bool WriteMaster(const QByteArray& bytes, int timeoutMs = 1000);
    // What the device received: up to count bytes, waiting at most timeoutMs.
    QByteArray ReadMaster(int count, int timeoutMs);
    // The device end vanishes (stop any simulator on it first).
    void CloseMaster();

    // What the terminal holds as the kernel tells it through termios2: the
    // rate in bits per second and the control flags (size, parity, stop bits).
    int SlaveRate() const;
    unsigned SlaveControlFlags() const;

  private:
    int master_ = -1;
    int slaveKeeper_ = -1;
    QString slavePath_;
};
