#pragma once
// What every fuzz target needs: a dialog service that answers at once and
// quietly, a check that stops the run at a broken promise, and the ways the
// configuration targets read their inputs.

#include "config/ConfigImage.h"
#include "config/ConfigScreenSettings.h"
#include "platform/Dialogs.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <cstdlib>

namespace fuzz {

class SilentDialogs : public DialogBackend {
  public:
    DlgAnswer Message(const QString&, const QString&, DlgButtons, DlgIcon) override {
        return DlgAnswer::Ok;
    }
    QString OpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString SaveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseFolder(const QString&, const QString&) override { return {}; }
};

// Installs the silent dialogs once; cheap to call for every input.
inline void SilenceDialogs() {
    static SilentDialogs silent;
    if (Dialogs::Backend() != &silent) Dialogs::SetBackend(&silent);
}

inline void Check(bool condition) {
    if (!condition) std::abort();
}

inline QByteArrayView View(const uint8_t* bytes, size_t size) {
    return QByteArrayView(reinterpret_cast<const char*>(bytes), qsizetype(size));
}

// The input of the section targets: bytes 0 and 1 (high byte first) are the
// apartment count the decoders are told (what section 2 would have
// announced), the rest the bytes of one section after its length word,
// version byte first. Real consoles announce 1,550 to 3,050; the count is
// kept to twelve bits, room enough above that: the whole two bytes made the
// average input several times slower.
constexpr int kMaxAnnounced = 0x0FFF;
struct SectionInput {
    int announced = 0;
    QByteArrayView bytes;  // version byte and payload
    QString text;          // as TakeSection gives it: payload + version field
};
inline bool ReadSectionInput(QByteArrayView data, SectionInput& in) {
    if (data.size() < 2) return false;
    in.announced = (quint8(data[0]) << 8 | quint8(data[1])) & kMaxAnnounced;
    in.bytes = data.sliced(2);
    in.text = ImageFromBytes(in.bytes);
    return true;
}

// The program's own section-0 sizes, or sizes in another order that the
// length rules read differently; the last byte of the input chooses.
inline ConfigScreenSettings ScreenSettings(QByteArrayView data) {
    ConfigScreenSettings s;
    s.sizes = ConfigSection0Sizes{176, 232, 1088};
    if (!data.isEmpty() && quint8(data.back()) % 2) s.sizes = ConfigSection0Sizes{1088, 176, 232};
    return s;
}

// Whether this input takes a slow part of a target (real files, say): one
// input in `every`, chosen by its bytes, so that a finding reproduces; parts
// with different salts are chosen independently.
inline bool Sampled(QByteArrayView data, unsigned every, std::uint32_t salt = 0) {
    std::uint32_t h = 2166136261u ^ salt;  // FNV-1a
    for (char c : data) h = (h ^ std::uint8_t(c)) * 16777619u;
    return h % every == 0;
}

}  // namespace fuzz
