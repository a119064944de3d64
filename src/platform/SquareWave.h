#pragma once
// The samples of a tone for the sound card: the PC speaker sounded a square
// wave, so the tones keep its timbre.

#include <QByteArray>

// A square wave of hz lasting ms, as signed 16-bit mono samples (native byte
// order) at sampleRate, swinging between +amplitude and -amplitude. Empty for a
// frequency or time of 0 or less; a frequency above half the sample rate gives
// silence rather than an alias.
QByteArray SquareWave(int hz, int ms, int sampleRate, qint16 amplitude);
