#include "platform/SquareWave.h"

#include <cstring>

QByteArray SquareWave(int hz, int ms, int sampleRate, qint16 amplitude) {
    if (hz <= 0 || ms <= 0 || sampleRate <= 0) return QByteArray();
    const qint64 count = qint64(sampleRate) * ms / 1000;
    QByteArray bytes(count * qint64(sizeof(qint16)), Qt::Uninitialized);
    auto* samples = reinterpret_cast<qint16*>(bytes.data());
    if (2 * qint64(hz) > sampleRate) {
        std::memset(samples, 0, size_t(bytes.size()));
        return bytes;
    }
    // The sign of each sample follows the half period it falls in, counted
    // in whole samples so the wave keeps its pitch over long notes.
    for (qint64 i = 0; i < count; ++i) {
        const qint64 halfPeriods = (2 * i * hz) / sampleRate;
        samples[i] = (halfPeriods % 2 == 0) ? amplitude : qint16(-amplitude);
    }
    return bytes;
}
