// Feeds arbitrary bytes, as hexadecimal text, to the section counter the
// network devices screen walks a file with while a device sends it: given in
// pieces of varying size, as they arrive, the walk ends where the walk of the
// whole text ends.

#include "FuzzSupport.h"

#include <QByteArray>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QByteArrayView data = fuzz::View(bytes, size);
    const QString hex = QString::fromLatin1(data.toByteArray().toHex().toUpper());
    int index = 0, count = 0;
    // The pieces are appended to one text, as a reader of the device does: a
    // fresh copy of the whole prefix per piece would make long inputs quadratic.
    QString received;
    received.reserve(hex.size());
    const int step = data.isEmpty() ? 1 : (quint8(data[0]) % 13) + 1;
    while (received.size() < hex.size()) {
        received.append(QStringView(hex).mid(received.size(), 2 * step));
        const int before = count;
        const int r = CountHexSections(received, index, count);
        fuzz::Check(index >= 0 && count >= before);
        if (r < 0) break;
    }
    int wholeIndex = 0, wholeCount = 0;
    CountHexSections(hex, wholeIndex, wholeCount);
    fuzz::Check(wholeIndex == index && wholeCount == count);
    return 0;
}
