#pragma once
// Tones through the sound card in place of the PC speaker: a tone of some
// frequency for some time, and a pause. Both return when the time is over,
// as the melody previews expect (the user interface is not serviced
// meanwhile). The program installs a sound backend at start-up; until then,
// and wherever no sound device exists, tones are silent and take no time.

#include <QByteArray>

class ToneOutput {
  public:
    virtual ~ToneOutput() = default;
    virtual void Play(int hz, int ms) = 0;
    virtual void Pause(int ms) = 0;
};

class SilentToneOutput : public ToneOutput {
  public:
    void Play(int, int) override {}
    void Pause(int) override {}
};

namespace Tones {

// The installed backend, or a silent one.
ToneOutput& Output();
// Installs a backend (not owned); nullptr restores silence. Returns the previous one.
ToneOutput* SetOutput(ToneOutput* output);

}  // namespace Tones

// A square wave of hz lasting ms, as signed 16-bit mono samples (native byte
// order) at sampleRate, swinging between +amplitude and -amplitude. Empty for a
// frequency or time of 0 or less; a frequency above half the sample rate gives
// silence rather than an alias.
QByteArray SquareWave(int hz, int ms, int sampleRate, qint16 amplitude);
