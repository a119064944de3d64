// The editor's key lists under copy, paste, erase and typing.

#include "keys/EditorKeyGrids.h"
#include "keys/KeyClipboard.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace EditorKeyGridsTestUnit {

namespace {

EditorKeyLists sample() {
    EditorKeyLists lists;
    lists.keys5.rows = {{"1", "0F0F0F", "осн."}, {"2", "A1B2C3", "осн."}, {"2", "FFFFFF", "доп."}};
    lists.keys6.rows = {{"1", "111111"}};
    lists.keys7.keys = {"777777"};
    lists.keysBQ = {"11223344"};
    lists.keysCP = {{"0A0B0C", 3}};
    return lists;
}

TEST(EditorKeyGrids, TypingKeepsWhatAColumnHolds) {
    EXPECT_EQ(TypedGridKey("a1b2c3d4"), "1234");
    EXPECT_EQ(TypedGridKey("A1B2C3D4"), "A1B2C3");
    EXPECT_EQ(TypedGridKey("G-1 F"), "1F");
    EXPECT_EQ(TypedGridIndex("1a2 3"), "123");
}

TEST(EditorKeyGrids, CopiedRowsCarryTheIndexOfSectionsFiveAndSix) {
    const EditorKeyLists lists = sample();
    EXPECT_EQ(KeyGridClipboardText(lists, KeyGrid::Keys5, 1, 2), "0F0F0F1\r\nA1B2C32\r\n");
    EXPECT_EQ(KeyGridClipboardText(lists, KeyGrid::Keys6, 1, 1), "1111111\r\n");
    EXPECT_EQ(KeyGridClipboardText(lists, KeyGrid::Keys7, 1, 5), "777777\r\n");
    EXPECT_EQ(KeyGridClipboardText(lists, KeyGrid::KeysCP, 1, 1), "0A0B0C\r\n");
}

TEST(EditorKeyGrids, CopyFromKeys5PastedAtTheEndOfKeys6MovesTheKeys) {
    EditorKeyLists lists = sample();
    const GridPasteTokens tokens =
        ParseGridPasteTokens(KeyGridClipboardText(lists, KeyGrid::Keys5, 1, 2));
    ASSERT_FALSE(tokens.unrecognised);
    const int start = GridPasteStartRow(KeyGrid::Keys6, 1, 1, lists.Rows(KeyGrid::Keys6));
    EXPECT_EQ(start, 2);  // column 1 of row 1: after the last row
    EXPECT_EQ(PasteGridKeys(lists, KeyGrid::Keys6, start, tokens), 2);
    ASSERT_EQ(lists.keys6.rows.size(), 3);
    EXPECT_EQ(lists.keys6.rows[1].key, "0F0F0F");
    EXPECT_EQ(lists.keys6.rows[1].apartment, "1");
    EXPECT_EQ(lists.keys6.rows[2].key, "A1B2C3");
    EXPECT_EQ(lists.keys6.rows[2].apartment, "2");
    // Their old cells are empty slots now; the indexes there stay.
    EXPECT_EQ(lists.keys5.rows[0].key, "FFFFFF");
    EXPECT_EQ(lists.keys5.rows[1].key, "FFFFFF");
    EXPECT_EQ(lists.keys5.rows[1].apartment, "2");
    FollowSlotCounts(lists);
    EXPECT_EQ(lists.keys6.kolSl6, 3);
}

TEST(EditorKeyGrids, TheKeyRegistersClipboardTextPastesUpToALabelThatLooksLikeDigits) {
    const QString text =
        KeyClipboardText("00000012AB34", "Иванов") + KeyClipboardText("0000003456CD", "кв") +
        KeyClipboardText("000000FEDCBA", "0001") + KeyClipboardText("000000111111", "x");
    const GridPasteTokens tokens = ParseGridPasteTokens(text);
    EXPECT_TRUE(tokens.unrecognised);
    ASSERT_EQ(tokens.tokens.size(), 3);
    EXPECT_EQ(tokens.tokens[0].key, "12AB34");
    EXPECT_EQ(tokens.tokens[2].key, "FEDCBA");
    EditorKeyLists lists = sample();
    EXPECT_EQ(PasteGridKeys(lists, KeyGrid::Keys7, 1, tokens), 3);
    EXPECT_EQ(lists.keys7.keys, QStringList({"12AB34", "3456CD", "FEDCBA"}));
}

TEST(EditorKeyGrids, TokensThatAreNoKeys) {
    EXPECT_TRUE(ParseGridPasteTokens("12345\r\n").unrecognised);          // too short
    EXPECT_TRUE(ParseGridPasteTokens("1234567890ABC\r\n").unrecognised);  // 13 digits
    EXPECT_TRUE(ParseGridPasteTokens("A1B2C3F\r\n").unrecognised);        // a tail that is no index
    EXPECT_TRUE(ParseGridPasteTokens("hello world").unrecognised);
    const GridPasteTokens indexed = ParseGridPasteTokens("A1B2C312 ");
    ASSERT_EQ(indexed.tokens.size(), 1);
    EXPECT_EQ(indexed.tokens[0].index, "12");
    // Too short or too long a text holds nothing at all.
    for (const QString& text : {QString("ABCD"), QString(65535, QChar('A'))}) {
        const GridPasteTokens none = ParseGridPasteTokens(text);
        EXPECT_TRUE(none.tokens.isEmpty());
        EXPECT_FALSE(none.unrecognised);
    }
    // A last piece of four characters is left.
    EXPECT_EQ(ParseGridPasteTokens("ABCDEF\r\n123").tokens.size(), 1);
}

TEST(EditorKeyGrids, Keys5NeverGrowsAndAKeyWithoutARowStaysPut) {
    EditorKeyLists lists = sample();
    const GridPasteTokens tokens = ParseGridPasteTokens("777777\r\n0F0F0F\r\n");
    // From row 3, the last: the first key fits, the second has no row.
    EXPECT_EQ(PasteGridKeys(lists, KeyGrid::Keys5, 3, tokens), 1);
    EXPECT_EQ(lists.keys5.rows.size(), 3);
    EXPECT_EQ(lists.keys5.rows[2].key, "777777");
    EXPECT_EQ(lists.keys5.rows[2].apartment, "2");
    ASSERT_FALSE(lists.keys7.keys.isEmpty());
    ASSERT_FALSE(lists.keys5.rows.isEmpty());
    EXPECT_EQ(lists.keys7.keys[0], "FFFFFF");      // moved
    EXPECT_EQ(lists.keys5.rows[0].key, "0F0F0F");  // not placed, so not moved
}

TEST(EditorKeyGrids, APasteIntoADumpListChangesNothing) {
    for (KeyGrid dump : {KeyGrid::KeysBQ, KeyGrid::KeysCP, KeyGrid::None}) {
        EditorKeyLists lists = sample();
        EXPECT_EQ(PasteGridKeys(lists, dump, 1, ParseGridPasteTokens("0F0F0F\r\n777777\r\n")), 0);
        ASSERT_FALSE(lists.keys5.rows.isEmpty());
        EXPECT_EQ(lists.keys5.rows[0].key, "0F0F0F");
        ASSERT_FALSE(lists.keys7.keys.isEmpty());
        EXPECT_EQ(lists.keys7.keys[0], "777777");
        EXPECT_EQ(lists.keysBQ, QStringList{"11223344"});
    }
}

TEST(EditorKeyGrids, StartRows) {
    EXPECT_EQ(GridPasteStartRow(KeyGrid::Keys6, -1, -1, 4), 5);
    EXPECT_EQ(GridPasteStartRow(KeyGrid::Keys6, 1, 2, 4), 1);
    EXPECT_EQ(GridPasteStartRow(KeyGrid::Keys6, 3, 1, 4), 3);
    EXPECT_EQ(GridPasteStartRow(KeyGrid::Keys7, -1, -1, 4), 5);
    EXPECT_EQ(GridPasteStartRow(KeyGrid::Keys7, 1, 1, 4), 1);
    EXPECT_EQ(GridPasteStartRow(KeyGrid::Keys5, -1, -1, 4), 1);
    EXPECT_EQ(GridPasteStartRow(KeyGrid::KeysCP, 1, 1, 2), 3);
    EXPECT_EQ(GridPasteStartRow(KeyGrid::None, -1, -1, 0), 1);
    // The title row current: the first data row, never after the last.
    for (KeyGrid grid : {KeyGrid::Keys5, KeyGrid::Keys6, KeyGrid::Keys7})
        for (int column : {0, 1, 2}) EXPECT_EQ(GridPasteStartRow(grid, 0, column, 4), 1);
}

TEST(EditorKeyGrids, EraseEmptiesTheKeyCellsOfTheRows) {
    EditorKeyLists lists = sample();
    EXPECT_EQ(EraseGridKeys(lists, KeyGrid::Keys5, 1, 9), 3);
    EXPECT_EQ(lists.keys5.rows[1].key, "FFFFFF");
    EXPECT_EQ(lists.keys5.rows[1].apartment, "2");
    EXPECT_EQ(EraseGridKeys(lists, KeyGrid::KeysCP, 1, 1), 1);
    ASSERT_FALSE(lists.keysCP.isEmpty());
    EXPECT_EQ(lists.keysCP[0].key, "FFFFFF");
    EXPECT_EQ(lists.keysCP[0].index, 3);
}

}  // namespace
}  // namespace EditorKeyGridsTestUnit
