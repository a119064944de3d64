#pragma once
// The tone output's test double: every tone and pause is recorded instead of
// played, and takes no time. It installs itself while it lives.

#include "platform/ToneOutput.h"

#include <QList>

class RecordingToneOutput : public ToneOutput {
  public:
    // One tone, or a pause (hz 0).
    struct Event {
        int hz = 0;
        int ms = 0;
        bool operator==(const Event& o) const { return hz == o.hz && ms == o.ms; }
    };

    RecordingToneOutput() { previous_ = Tones::SetOutput(this); }
    ~RecordingToneOutput() override { Tones::SetOutput(previous_); }
    RecordingToneOutput(const RecordingToneOutput&) = delete;
    RecordingToneOutput& operator=(const RecordingToneOutput&) = delete;

    void Play(int hz, int ms) override { events_.append({hz, ms}); }
    void Pause(int ms) override { events_.append({0, ms}); }

    const QList<Event>& Events() const { return events_; }
    void Clear() { events_.clear(); }

  private:
    QList<Event> events_;
    ToneOutput* previous_ = nullptr;
};
