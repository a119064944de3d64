#pragma once
// Tones on the sound card: each tone is a square wave played through a
// QAudioSink that lives on its own thread, while the calling thread waits for
// the tone to end, as it waited for the PC speaker.

#include "platform/ToneOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QObject>
#include <QThread>

class ToneWorker;

class QtToneOutput : public QObject, public ToneOutput {
    Q_OBJECT
  public:
    static constexpr int kSampleRate = 44100;
    static constexpr qint16 kAmplitude = 6000;  // about a fifth of full scale

    QtToneOutput(const QAudioDevice& device, const QAudioFormat& format, QObject* parent = nullptr);
    ~QtToneOutput() override;

    void Tone(int frequencyHz, int durationMs) override;
    void Pause(int durationMs) override;

    // 16-bit mono at kSampleRate, when the device takes it.
    static QAudioFormat ToneFormat();

  private:
    QThread thread_;
    ToneWorker* worker_ = nullptr;
};

// Puts the sound card behind Tones::Output() when the system has a sound
// output device that plays the tone format; otherwise tones stay silent. The
// backend lives until the application quits.
void InstallSoundCardTones();
