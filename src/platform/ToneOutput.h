#pragma once
// The program's sound: plain tones of a frequency and a duration, and pauses,
// as the key screen's beeps and the melody previews need them. Like the old
// platform's Beep and Sleep, both calls return when the sound or the pause is
// over. The program installs a backend that drives the sound card; without one
// the silent backend answers, and tests install a recording one.

class ToneOutput {
  public:
    virtual ~ToneOutput() = default;
    // Sounds frequencyHz for durationMs milliseconds.
    virtual void Tone(int frequencyHz, int durationMs) = 0;
    // Silence for durationMs milliseconds (between the notes of a melody).
    virtual void Pause(int durationMs) = 0;
};

// No sound device: tones and pauses pass at once.
class SilentToneOutput : public ToneOutput {
  public:
    void Tone(int, int) override {}
    void Pause(int) override {}
};

namespace Tones {

// Installs the backend (not owned); nullptr returns to the silent one.
// Returns the previous backend (nullptr when the silent one was in use).
ToneOutput* SetOutput(ToneOutput* output);
// The backend in use; never null.
ToneOutput& Output();

inline void Tone(int frequencyHz, int durationMs) {
    Output().Tone(frequencyHz, durationMs);
}
inline void Pause(int durationMs) {
    Output().Pause(durationMs);
}

}  // namespace Tones
