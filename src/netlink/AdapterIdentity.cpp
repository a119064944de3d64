#include "netlink/AdapterIdentity.h"

#include "netlink/TBComPort.h"
#include "netlink/TNetFrame.h"
#include "platform/Dialogs.h"

namespace {

constexpr int kAdapterBufferSize = 32;
// A read that the time-outs do not bound still ends after this.
constexpr int kUnboundedAnswerMs = 2000;
// Room for the read to finish after its own deadline.
constexpr int kAnswerSlackMs = 50;

const QString kReplug = QStringLiteral("Передерните СУС!");

bool IsHexWord(const QString& text) {
    if (text.size() != 4) return false;
    for (QChar c : text)
        if (!c.isDigit() && !(c.toUpper() >= QLatin1Char('A') && c.toUpper() <= QLatin1Char('F')))
            return false;
    return true;
}

// One read record, freed (and a read still pending abandoned) on every way out.
struct ScopedAsyncRecord {
    TAsyncRecord* record = nullptr;
    ScopedAsyncRecord() { InitAsync(record); }
    ~ScopedAsyncRecord() { DoneAsync(record); }
    ScopedAsyncRecord(const ScopedAsyncRecord&) = delete;
    ScopedAsyncRecord& operator=(const ScopedAsyncRecord&) = delete;
};

// The adapter's answer, as far as it came before the read's deadline.
TNetFrame ReadAnswer(TBComPort& port, const TComTimeouts& timeouts) {
    TNetFrame answer;
    ScopedAsyncRecord read;
    port.ReadAsync(answer.data(), kNetFrameSize, read.record);
    const std::optional<qint64> total = ReadLimitsFor(timeouts, kNetFrameSize).totalMs;
    port.AwaitAsync(read.record, int(total.value_or(kUnboundedAnswerMs)) + kAnswerSlackMs);
    return answer;
}

bool Confirmed(const TNetFrame& answer) {
    return answer[0] == kAdapterAddress && answer[1] == kAdapterAddress && answer[2] == 0x0E &&
           answer[3] == (kCmdParameter | kAnswerBit);
}

}  // namespace

std::optional<UsbIdentity> ParseUsbIdentity(const QString& vid, const QString& pid) {
    if (!IsHexWord(vid) || !IsHexWord(pid)) return std::nullopt;
    return UsbIdentity{vid.toInt(nullptr, 16), pid.toInt(nullptr, 16)};
}

bool WriteAdapterUsbIdentity(const QString& portPath, const QString& vidText,
                             const QString& pidText, const TComTimeouts& timeouts,
                             QStringList& log) {
    TBComPort port;
    port.SetPort(portPath);
    port.SetTimeouts(timeouts);
    try {
        port.Open();
    } catch (const EComPort&) {
        Dialogs::Error(QStringLiteral("Ошибка открытия"), kReplug);
        return false;
    }
    try {
        port.ClearBuffer(true, true);
    } catch (const EComPort&) {
        Dialogs::ShowMessage(QStringLiteral("Ошибка очистки буфера."));
        return false;
    }
    try {
        port.SetInBufSize(kAdapterBufferSize);
        port.SetOutBufSize(kAdapterBufferSize);
    } catch (const EComPort&) {
        Dialogs::ShowMessage(QStringLiteral("Ошибка размера буфера."));
        return false;
    }
    const std::optional<UsbIdentity> identity = ParseUsbIdentity(vidText, pidText);
    if (!identity) {
        log << AdapterIdentityTexts::kNotChanged;
        return false;
    }
    const TNetFrame request = NetRequest::AdapterUsbIdentity(identity->vid, identity->pid);
    int written = 0;
    try {
        written = port.Write(request.data(), kNetFrameSize);
    } catch (const EComPort&) {
    }
    if (written < kNetFrameSize) {
        Dialogs::Error(QStringLiteral("Ошибка записи"), kReplug);
        return false;
    }
    bool confirmed = false;
    try {
        confirmed = Confirmed(ReadAnswer(port, timeouts));
    } catch (const EComPort&) {
        // An adapter that went away answered nothing.
    }
    log << (confirmed ? AdapterIdentityTexts::kChanged : AdapterIdentityTexts::kNotChanged);
    return confirmed;
}
