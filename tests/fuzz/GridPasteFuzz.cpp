// Feeds arbitrary text to the paste of the editor's key grids: every token is
// a six-digit key (with a decimal index only when it carried one), and the
// paste into each list places no more keys than there are tokens, never grows
// Keys5 and leaves every key cell a key or the empty slot.

#include "FuzzSupport.h"
#include "keys/EditorKeyGrids.h"
#include "keys/KeyNumber.h"

#include <cstdint>

namespace {

using fuzz::Check;

EditorKeyLists sample() {
    EditorKeyLists lists;
    lists.keys5.rows = {{"1", "0F0F0F", "осн."}, {"2", "A1B2C3", "осн."}};
    lists.keys6.rows = {{"1", "111111"}};
    lists.keys7.keys = {"777777", "FFFFFF"};
    lists.keysBQ = {"11223344"};
    return lists;
}

bool keyOrEmpty(const QString& cell) {
    return !KeyNumber::CellPanelKey(cell).isEmpty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const GridPasteTokens tokens = ParseGridPasteTokens(text);
    for (const GridPasteToken& token : tokens.tokens) {
        Check(!KeyNumber::CellPanelKey(token.key).isEmpty() && token.key.size() == 6);
        Check(token.hasIndex == !token.index.isEmpty());
        for (QChar c : token.index) Check(c >= '0' && c <= '9');
    }
    for (KeyGrid grid : {KeyGrid::Keys5, KeyGrid::Keys6, KeyGrid::Keys7, KeyGrid::KeysBQ}) {
        EditorKeyLists lists = sample();
        const int start = int(size % 5);
        const int placed = PasteGridKeys(lists, grid, start, tokens);
        Check(placed >= 0 && placed <= tokens.tokens.size());
        Check(lists.keys5.rows.size() == 2);
        Check(lists.keysBQ == sample().keysBQ);
        for (const Keys5Row& row : lists.keys5.rows) Check(keyOrEmpty(row.key));
        for (const QString& key : lists.keys7.keys) Check(key.isEmpty() || keyOrEmpty(key));
    }
    return 0;
}
