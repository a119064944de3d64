// Times the transfer of a configuration file into a device and back over the
// simulated device bus paced at 9600 baud 8N1: the largest call-panel file
// of the configuration tests' object (its gate panel), written into a device
// whose memory holds none of it (every packet is read back, found different
// and written), then read from the device; and a firmware upload. The link's
// waits between read attempts are real alertable sleeps, as on a real port.
// Floor: the wire time (30 bytes a frame, 10 bits a byte) of the frames the
// file's size asks for, whatever the program sent: for a write, the device
// selected and let go (two requests and their answers) and for each packet of
// 22 bytes of the file behind its 29-byte header a read and a write, each a
// request and its answer; for a read, a request and its answer a packet. The
// upload is held to the frames it exchanged.
//   bench_nettransfer [--benchmark_filter=...]

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <chrono>
#include <cstdio>

#include "BenchSupport.h"
#include "Floors.h"
#include "config/CallPanelFile.h"
#include "config/ConfigObjectFixture.h"
#include "config/ConfigRepository.h"
#include "netlink/NetAppUpload.h"
#include "netlink/NetConfigTransfer.h"
#include "netlink/TNetLink.h"
#include "support/DeviceBusSimulator.h"
#include "support/PtyPair.h"
#include "support/SimulatedLink.h"

namespace {

constexpr int kGatePanel = 68;

// The configuration tests' object, built as its fixture builds it.
class FixtureObject : public ConfigObjectFixture {
  public:
    void TestBody() override {}
    // The largest call-panel file of the object.
    QByteArray LargestPanelFile() {
        SetUp();
        QByteArray largest;
        ConfigRepository repo(Db());
        for (int address = 65; address <= kGatePanel; ++address) {
            std::optional<PanelFileInput> in;
            if (!repo.ReadPanelFileInput(kIdNet, address, in) || !in) continue;
            const ConfigFileBuild build = BuildCallPanelFile(*in, QStringLiteral("cbv.bin"));
            if (build.HasFile() && build.bytes.size() > largest.size()) largest = build.bytes;
        }
        return largest;
    }
};

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void Report(benchmark::State& state, const char* what, double measuredMs, qint64 frames,
            const char* floor) {
    FloorRatio ratio(what, floor);
    ratio.Add(measuredMs, double(frames) * kFrameWireMs);
    ratio.Report(state);
}

// The workstation header a file keeps to itself, and the file bytes a
// memory packet carries.
constexpr qint64 kFileHeaderBytes = 29;

qint64 packetsOf(qint64 fileBytes) {
    const qint64 payload = fileBytes - kFileHeaderBytes;
    return (payload + kMemoryPacketBytes - 1) / kMemoryPacketBytes;
}

// A write into a device that holds none of the file: the select and the
// release, then a read and a write for every packet, each frame answered.
qint64 writeFrames(qint64 fileBytes) {
    return 2 * (2 + 2 * packetsOf(fileBytes));
}

qint64 readFrames(qint64 fileBytes) {
    return 2 * packetsOf(fileBytes);
}

// The link started, with the class of the device at address known.
bool StartOn(SimulatedLink& sim, const PtyPair& pty, int address) {
    if (!sim.Start(pty) || sim.link.RequestClass(address) != 1) return false;
    sim.link.ParseClassReply(address);
    return true;
}

void BM_PanelFileWrittenAndReadAt9600Baud(benchmark::State& state) {
    FixtureObject object;
    const QByteArray file = object.LargestPanelFile();
    const QString path = QDir::temp().filePath(QStringLiteral("bench_cbv04.bin"));
    QFile out(path);
    if (file.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(file) != file.size()) {
        state.SkipWithError("the panel file was not built");
        return;
    }
    out.close();

    PtyPair pty;
    DeviceBusSimulator bus(pty);
    SimDevice panel = SimDevice::CallPanel(kGatePanel - 64);
    panel.configEnd = panel.configStart + 17408;
    const int device = bus.AddDevice(panel);
    bus.SetPacing(true);
    SimulatedLink sim(bus, LinkClock::Real);
    TNetLink& link = sim.link;
    if (!StartOn(sim, pty, kGatePanel)) {
        state.SkipWithError("the link did not start");
        return;
    }
    NetOpContext ctx(link, nullptr);
    NetConfigTransfer transfer(ctx);

    double writeMs = 0, readMs = 0;
    for (auto _ : state) {
        bus.UpdateDevice(device, [](SimDevice& d) { d.memory.clear(); });
        auto start = std::chrono::steady_clock::now();
        const NetWriteResult written = transfer.WriteCnf(kGatePanel, false, path);
        writeMs += MsSince(start);
        start = std::chrono::steady_clock::now();
        const NetReadResult read = transfer.ReadCnf(kGatePanel);
        readMs += MsSince(start);
        if (written.outcome != NetOpOutcome::Done || written.skipped != 0 ||
            read.outcome != NetOpOutcome::Done) {
            state.SkipWithError("the transfer failed");
            return;
        }
        QFile::remove(read.savedFile);
    }
    std::printf("file of %lld bytes\n", static_cast<long long>(file.size()));
    const qint64 runs = state.iterations();
    Report(state, "write", writeMs, runs * writeFrames(file.size()),
           "the frames the file's size asks for, on the wire");
    Report(state, "read", readMs, runs * readFrames(file.size()),
           "the frames the file's size asks for, on the wire");
    link.StopNet();
    QFile::remove(path);
}
BENCHMARK(BM_PanelFileWrittenAndReadAt9600Baud)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A firmware file of 4 KB for switch 5 (format 1, BIOS 05, class 0002) in
// frames of 22 bytes from 0x3000.
QByteArray FourKilobyteAppFile() {
    QByteArray out = QByteArray::fromHex(
        "C4C050C2CE"
        "01"
        "0002"
        "05"
        "0200"
        "FFFF");
    const int size = 4096;
    out.append(char(size & 0xFF)).append(char(size >> 8));
    out.append(char(0x00)).append(char(0x30));
    for (int left = size; left > 0; left -= 22) {
        const int n = left < 22 ? left : 22;
        out.append(char(n)).append(QByteArray(n, char(left & 0xFF)));
    }
    return out.append(2, '\0');
}

void BM_FourKilobyteUploadAt9600Baud(benchmark::State& state) {
    const QString path = QDir::temp().filePath(QStringLiteral("bench_app.usb"));
    QFile out(path);
    const QByteArray file = FourKilobyteAppFile();
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size()) {
        state.SkipWithError("the firmware file was not written");
        return;
    }
    out.close();
    PtyPair pty;
    DeviceBusSimulator bus(pty);
    bus.AddDevice(SimDevice::Switch(5));
    bus.SetPacing(true);
    SimulatedLink sim(bus, LinkClock::Real);
    TNetLink& link = sim.link;
    if (!StartOn(sim, pty, 5)) {
        state.SkipWithError("the link did not start");
        return;
    }
    NetOpContext ctx(link, nullptr);
    const int index = NetAppUpload::AppFileIndex(link.Tables, path);
    double ms = 0;
    int frames = 0;
    for (auto _ : state) {
        const int before = int(bus.Received().size());
        const auto start = std::chrono::steady_clock::now();
        const NetOpOutcome outcome = NetAppUpload(ctx).UploadApp(5, index);
        ms += MsSince(start);
        // Only the upload's packets and their answers: the selection and the
        // class read afterwards are counted as they went over the wire too.
        frames += 2 * (int(bus.Received().size()) - before);
        if (outcome != NetOpOutcome::Done) {
            state.SkipWithError("the upload failed");
            return;
        }
    }
    Report(state, "upload", ms, frames, "the frames exchanged, on the wire");
    link.StopNet();
    QFile::remove(path);
}
BENCHMARK(BM_FourKilobyteUploadAt9600Baud)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
