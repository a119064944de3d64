// Times the transfer of a configuration file into a device and back over the
// simulated device bus paced at 9600 baud 8N1: the largest call-panel file
// of the configuration tests' object (its gate panel), written into a device
// whose memory holds none of it (every packet is read back, found different
// and written), then read from the device. The figure to hold for each is the
// ratio of the measured time to the wire time of the frames exchanged (every
// request and its answer, 30 bytes each): at most 1.3.
//   bench_nettransfer [--benchmark_filter=...]

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <chrono>
#include <cstdio>

#include "BenchSupport.h"
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

void Report(benchmark::State& state, const char* what, double measuredMs, int frames) {
    ReportWireRatio(state, what, measuredMs, frames * kFrameWireMs);
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
    // The one-second settling pauses of the link start are no part of a transfer.
    SimulatedLink sim;
    TNetLink& link = sim.link;
    if (!sim.Start(pty) || link.RequestClass(kGatePanel) != 1) {
        state.SkipWithError("the link did not start");
        return;
    }
    link.ParseClassReply(kGatePanel);
    NetOpContext ctx(link, nullptr);
    NetConfigTransfer transfer(ctx);

    double writeMs = 0, readMs = 0;
    int writeFrames = 0, readFrames = 0;
    for (auto _ : state) {
        bus.UpdateDevice(device, [](SimDevice& d) { d.memory.clear(); });
        int before = int(bus.Received().size());
        auto start = std::chrono::steady_clock::now();
        const NetWriteResult written = transfer.WriteCnf(kGatePanel, false, path);
        writeMs += MsSince(start);
        writeFrames += 2 * (int(bus.Received().size()) - before);
        before = int(bus.Received().size());
        start = std::chrono::steady_clock::now();
        const NetReadResult read = transfer.ReadCnf(kGatePanel);
        readMs += MsSince(start);
        readFrames += 2 * (int(bus.Received().size()) - before);
        if (written.outcome != NetOpOutcome::Done || written.skipped != 0 ||
            read.outcome != NetOpOutcome::Done) {
            state.SkipWithError("the transfer failed");
            return;
        }
        QFile::remove(read.savedFile);
    }
    std::printf("file of %lld bytes\n", static_cast<long long>(file.size()));
    Report(state, "write", writeMs, writeFrames);
    Report(state, "read", readMs, readFrames);
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

// The one-second settling pauses of the link start are no part of a transfer.
NetLinkHooks BenchHooks(TNetLink& link) {
    NetLinkHooks hooks;
    hooks.sleep = [&link](int ms) {
        if (ms < 1000) link.AlertableSleep(ms);
    };
    return hooks;
}

// The link started on the pty, with the class of the device at address known.
bool StartOn(TNetLink& link, PtyPair& pty, int address) {
    if (!link.StartNet([&] {
            return NetPortChoice{pty.SlavePath(), "0403", "6001"};
        }) ||
        link.RequestClass(address) != 1)
        return false;
    link.ParseClassReply(address);
    return true;
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
    TNetLink link(BenchHooks(link));
    if (!StartOn(link, pty, 5)) {
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
    Report(state, "upload", ms, frames);
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
