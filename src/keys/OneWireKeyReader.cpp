#include "keys/OneWireKeyReader.h"

#include "foundation/SettingsFile.h"
#include "keys/KeyNumber.h"
#include "platform/W1SysfsAdapter.h"

namespace {

const QString kNoKey = QStringLiteral("нет ключа");
const QString kShorted = QStringLiteral("замыкание в линии");
const QString kShortedError = QStringLiteral("1-Wire network is shorted.");
constexpr int kRomTextLength = 16;

bool echoDisturbed(const RomBuffer& b) {
    return b[0] != kReadRomCommand || b[10] != 0xFF || b[11] != 0xFF;
}

}  // namespace

OneWireKeyReader::OneWireKeyReader() = default;
OneWireKeyReader::~OneWireKeyReader() = default;

OneWireAdapter& OneWireKeyReader::Adapter() {
    if (OneWireAdapter* installed = OneWire::InstalledAdapter()) return *installed;
    static W1SysfsAdapter w1;
    IniFile ini;
    SettingsFile::Open(ini);
    w1.SetRoot(SettingsFile::ReadReaders(ini).w1Root);
    return w1;
}

void OneWireKeyReader::SwitchOn() {
    if (session_) return;
    session_ = std::make_unique<OneWireNetwork>(Adapter(), kPortNumber, kPortType, kOption);
}

void OneWireKeyReader::SwitchOff() {
    session_.reset();
}

OneWirePoll OneWireKeyReader::Poll(const QString& numberField) {
    OneWirePoll poll;
    if (!session_) return poll;
    try {
        if (session_->TouchReset())
            readKey(poll, numberField);
        else
            poll.text = kNoKey;
    } catch (const OneWireError& e) {
        poll.text = e.Message() == kShortedError ? kShorted : e.Message();
        if (poll.text != kShorted) poll.error = poll.text;
    }
    lastRomText_ = poll.text;
    return poll;
}

// A bad CRC or a disturbed command echo marks the text, and a marked text is
// never entered.
void OneWireKeyReader::readKey(OneWirePoll& poll, const QString& numberField) {
    RomBuffer block = ReadRomRequest();
    if (session_->ReadBlock(block.data(), int(block.size())) != int(block.size())) {
        poll.text = kShorted;
        return;
    }
    poll.text = RomText(block);
    if (!OneWireNetwork::CrcOk(block)) poll.text += QStringLiteral(" плохой");
    if (echoDisturbed(block)) poll.text += QStringLiteral(" !!!");
    if (poll.text == lastRomText_ || poll.text.size() != kRomTextLength) return;
    const QString number = RomKeyNumber(poll.text);
    if (number == numberField) return;
    if (KeyNumber::IsEmptySlot(number))
        poll.note = KeyNumber::EmptySlotNote(number);
    else
        poll.number = number;
}
