// Feeds arbitrary packets to the interpretation of device answers and to the
// decoding of class replies. The input holds a mode byte, a count of request
// frames, then 30-byte frames: the first ones go into the journal of pending
// requests, the rest into the journal of received packets (a last short piece
// becomes a short journal line). Afterwards the class reply of every address
// the answers touched is decoded, listed and shown. The link's port stays
// closed: what the answers ask of the network afterwards fails quietly.

#include "FuzzSupport.h"
#include "netlink/TNetLink.h"

#include <cstdint>
#include <cstdlib>

namespace {

using fuzz::Check;

QString HexOf(const uint8_t* bytes, size_t count) {
    return TNetFrame::FromBytes(bytes, int(count)).ToHex().left(int(2 * count));
}

void CheckJournal(const QStringList& journal) {
    for (const QString& line : journal) Check(line.size() == kNetHexLineSize);
}

// Decodes and shows what the answers left at each address (empty slots are
// skipped: they cost time and show nothing new).
void CheckTables(TNetLink& link) {
    for (int a = 0; a < kNetAddressCount; ++a) {
        const auto& texts = link.Tables.NetDeviceTexts[size_t(a)];
        const bool touched = link.Tables.ReplyStored(a) || !texts[kTextSerial].isEmpty() ||
                             !texts[kTextDtg].isEmpty();
        if (!touched) continue;
        link.ParseClassReply(a);
        const TNetDeviceInfo& d = link.Tables.NetDevices[size_t(a)];
        Check(d[kNdSelector] == 0 || d[kNdSelector] == 1);
        Check(d[kNdCnfUnchanged] == 0 || d[kNdCnfUnchanged] == 1);
        Check(d[kNdCnfVersion] >= 0 && d[kNdCnfVersion] < 0x8000);
        Check(link.Tables.Text(a, kTextClassMask).size() % 8 == 0);
        const NetClassInfo info = link.ShowClassInfo(a);
        Check(info.serialAddress == -1 || info.serialAddress == a);
    }
    QStringList list;
    link.BuildDeviceList(list);
    for (const QString& line : list) Check(line.size() >= 7);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::SilenceDialogs();
    if (size < 2) return 0;
    NetLinkHooks hooks;
    hooks.sleep = [](int) {};
    hooks.processEvents = [] {};
    TNetLink link(hooks);

    const bool unsolicited = data[0] & 1;
    const size_t requests = data[1] % 8;
    size_t at = 2;
    for (size_t k = 0; at < size; ++k) {
        const size_t n = std::min<size_t>(kNetFrameSize, size - at);
        (k < requests ? link.MemoSend : link.MemoRead).append(HexOf(data + at, n));
        at += n;
    }
    const qsizetype received = link.MemoRead.size();

    QString mode = unsolicited ? QStringLiteral("0") : QStringLiteral("1"), status;
    link.InterpretNetAnswers(mode, status, link.AnswerLog, link.DeviceList);
    Check(link.MemoRead.size() <= received);
    if (!unsolicited) CheckJournal(link.MemoSend);
    Check(status.isEmpty() || status == QLatin1String("Error"));
    Check(link.SelectedAddr >= -1 && link.SelectedAddr <= 0xFF);
    if (unsolicited) Check(link.MemoRead.isEmpty());

    // What stays is taken by the late pass and the time-outs.
    link.TmSendTick();
    link.TmReadTick();
    Check(link.MemoRead.isEmpty());
    CheckTables(link);
    return 0;
}
