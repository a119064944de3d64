#pragma once
// The tone output's test double: installs itself for its lifetime and keeps
// every tone and pause in order, as "512/20" (a tone of 512 Hz for 20 ms) or
// "pause/100".

#include "platform/ToneOutput.h"

#include <QStringList>

class RecordingTones : public ToneOutput {
  public:
    RecordingTones() { previous_ = Tones::SetOutput(this); }
    ~RecordingTones() override { Tones::SetOutput(previous_); }
    RecordingTones(const RecordingTones&) = delete;
    RecordingTones& operator=(const RecordingTones&) = delete;

    void Tone(int frequencyHz, int durationMs) override {
        heard_ << QStringLiteral("%1/%2").arg(frequencyHz).arg(durationMs);
    }
    void Pause(int durationMs) override { heard_ << QStringLiteral("pause/%1").arg(durationMs); }

    const QStringList& Heard() const { return heard_; }
    void Clear() { heard_.clear(); }

  private:
    ToneOutput* previous_ = nullptr;
    QStringList heard_;
};
