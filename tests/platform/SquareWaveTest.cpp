#include "platform/SquareWave.h"

#include <gtest/gtest.h>
#include <QList>

#include <cstring>

namespace SquareWaveTestUnit {
namespace {

QList<qint16> Samples(const QByteArray& bytes) {
    QList<qint16> samples(bytes.size() / int(sizeof(qint16)));
    std::memcpy(samples.data(), bytes.constData(), size_t(samples.size()) * sizeof(qint16));
    return samples;
}

TEST(SquareWave, LastsItsTimeAndSwingsAtItsFrequency) {
    const QList<qint16> wave = Samples(SquareWave(176, 224, 44100, 1000));
    ASSERT_EQ(44100 * 224 / 1000, wave.size());
    int changes = 0;
    for (int i = 1; i < wave.size(); ++i) {
        ASSERT_EQ(1000, qAbs(wave[i]));
        if (wave[i] != wave[i - 1]) ++changes;
    }
    EXPECT_EQ(1000, wave.first());
    // Two sign changes per period: 176 Hz for 0.224 s is 39.4 periods.
    EXPECT_NEAR(2 * 176 * 0.224, changes, 1.0);
}

TEST(SquareWave, NothingToPlayOrTooHighGivesNoSound) {
    EXPECT_TRUE(SquareWave(0, 224, 44100, 1000).isEmpty());
    EXPECT_TRUE(SquareWave(440, 0, 44100, 1000).isEmpty());
    const QList<qint16> tooHigh = Samples(SquareWave(30000, 10, 44100, 1000));
    ASSERT_EQ(441, tooHigh.size());
    for (qint16 s : tooHigh) EXPECT_EQ(0, s);
}
}  // namespace
}  // namespace SquareWaveTestUnit
