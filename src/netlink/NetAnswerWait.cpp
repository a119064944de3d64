#include "netlink/NetAnswerWait.h"

#include "netlink/TNetLink.h"

namespace {

class AnswerWait {
  public:
    AnswerWait(TNetLink& link, const NetWaitRule& rule) : link_(link), rule_(rule) {}

    NetWaitResult Run() {
        link_.TakenAnswers.clear();
        FirstPhase();
        if (!Ended() && result_.modeText.size() < kAnswerTextSize) SecondPhase();
        return result_;
    }

  private:
    // An answer text this long is a packet's hex text: the answer came.
    static constexpr int kAnswerTextSize = 15;

    void FirstPhase() {
        for (int attempt = 0; attempt < rule_.firstAttempts && !Ended(); ++attempt) {
            if (rule_.whilePending && !link_.IsRequestPending(rule_.requestHex)) break;
            QString errorText;
            const bool received = link_.ReadFrame(errorText);
            if (!errorText.trimmed().isEmpty()) link_.RequestLog.append(errorText);
            QString status;
            if (received || rule_.interpretWithoutFrame)
                Interpret(received ? QStringLiteral("1") : QStringLiteral("0"), status);
            if (Ended()) break;
            if (!link_.BComNet.Connected()) {
                lost_ = true;
                break;
            }
            if (status.isEmpty()) link_.Pause(link_.Settings.SWaitNet);
        }
    }

    // Nothing new can come in here without a read: once the journal is empty
    // the rest of the attempts would only wait.
    void SecondPhase() {
        for (int attempt = 0; attempt < rule_.secondAttempts && !Ended() && !lost_; ++attempt) {
            QString status;
            const QString before = result_.modeText;
            Interpret(QStringLiteral("0"), status);
            if (Ended() || result_.modeText != before) break;
            if (link_.MemoRead.isEmpty()) break;
            if (status.isEmpty()) link_.Pause(link_.Settings.SWaitNet);
        }
    }

    void Interpret(const QString& mode, QString& status) {
        QString modeText = mode;
        link_.InterpretNetAnswers(modeText, status, link_.AnswerLog, link_.DeviceList);
        if (modeText != mode) result_.modeText = modeText;
        TakeAnswers();
        if (rule_.modeDone && rule_.modeDone(result_.modeText)) modeDone_ = true;
    }

    void TakeAnswers() {
        for (const NetTakenAnswer& taken : std::as_const(link_.TakenAnswers)) {
            if (Accepts(taken)) {
                result_.answered = true;
                result_.answer = taken.answer;
                break;
            }
            if (taken.kind == NetTakenAnswer::Refusal && taken.requestHex == rule_.requestHex)
                result_.refused = true;
        }
        link_.TakenAnswers.clear();
    }

    bool Accepts(const NetTakenAnswer& taken) const {
        if (rule_.accept) return rule_.accept(taken);
        return taken.kind == NetTakenAnswer::Positive && taken.requestHex == rule_.requestHex;
    }

    bool Ended() const { return result_.answered || result_.refused || modeDone_; }

    TNetLink& link_;
    const NetWaitRule& rule_;
    NetWaitResult result_;
    bool modeDone_ = false;
    bool lost_ = false;
};

}  // namespace

NetWaitResult AwaitAnswer(TNetLink& link, const NetWaitRule& rule) {
    return AnswerWait(link, rule).Run();
}

int AnswerSelector(const TNetFrame& answer) {
    return answer.Selector();
}

bool IsMemoryAnswer(const TNetFrame& answer, int a, int command, int at) {
    const int s = 4 + AnswerSelector(answer);
    return answer[0] == a && answer[1] == kAdapterAddress &&
           (answer[3] & ~kSelectorBit) == (command | kAnswerBit) &&
           (answer[s] | (answer[s + 1] << 8)) == at;
}

void DropMemoryAnswers(TNetLink& link, int a) {
    link.MemoRead.removeIf([a](const QString& line) {
        const std::optional<TNetFrame> frame = TNetFrame::FromHex(line);
        if (!frame || (*frame)[0] != a || (*frame)[1] != kAdapterAddress) return false;
        const int command = (*frame)[3] & ~kSelectorBit;
        return command == (kCmdMemoryRead | kAnswerBit) ||
               command == (kCmdMemoryWrite | kAnswerBit);
    });
}
