#include "platform/ToneOutput.h"

namespace {
ToneOutput*& installedOutput() {
    static ToneOutput* output = nullptr;
    return output;
}
}  // namespace

namespace Tones {

ToneOutput* SetOutput(ToneOutput* output) {
    ToneOutput* previous = installedOutput();
    installedOutput() = output;
    return previous;
}

ToneOutput& Output() {
    static SilentToneOutput silent;
    return installedOutput() ? *installedOutput() : silent;
}

}  // namespace Tones
