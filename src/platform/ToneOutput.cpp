#include "platform/ToneOutput.h"

namespace {
ToneOutput*& installed() {
    static ToneOutput* output = nullptr;
    return output;
}
}  // namespace

namespace Tones {

ToneOutput* SetOutput(ToneOutput* output) {
    ToneOutput* previous = installed();
    installed() = output;
    return previous;
}

ToneOutput& Output() {
    static SilentToneOutput silent;
    return installed() ? *installed() : silent;
}

}  // namespace Tones
