#include "platform/ui/QtToneOutput.h"

#include <gtest/gtest.h>
#include <QAudioDevice>

namespace QtToneOutputTestUnit {
namespace {

// Without a sound device the tone thread refuses every tone; the caller still
// gets back, and nothing stays behind when the backend goes.
TEST(QtToneOutput, ADeviceThatPlaysNothingLetsTheCallerGoOn) {
    QtToneOutput tones(QAudioDevice(), QtToneOutput::ToneFormat());
    ToneOutput* before = Tones::SetOutput(&tones);
    Tones::Tone(440, 20);
    Tones::Tone(0, 10);
    Tones::Pause(5);
    EXPECT_EQ(&tones, Tones::SetOutput(before));
}
}  // namespace
}  // namespace QtToneOutputTestUnit
