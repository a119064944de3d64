// A path label in less room than its path: the start of the path and the
// file's name stay in view, the middle is left out, and the whole path stays
// its text and its tool tip.

#include "platform/ui/PathLabel.h"

#include <gtest/gtest.h>
#include <QFontMetrics>

namespace PathLabelTestUnit {

namespace {

const QString kPath = QStringLiteral("/home/engineer/objects/DB_ARM/Data/FlWrite/Fl_17/cbv02.bin");

TEST(PathLabel, ADeepPathLeavesOutItsMiddle) {
    PathLabel label;
    label.setText(kPath);
    const int whole = QFontMetrics(label.font()).horizontalAdvance(kPath);
    const struct {
        const char* room;
        int width;
        bool cut;
    } rows[] = {
        {"room for all of it", whole + 40, false},
        {"two thirds of it", whole * 2 / 3, true},
        {"a third of it", whole / 3, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.room);
        label.resize(row.width, label.sizeHint().height());
        const QString shown = label.ShownText();
        EXPECT_EQ(kPath, label.text());
        EXPECT_EQ(kPath, label.toolTip());
        if (!row.cut) {
            EXPECT_EQ(kPath, shown);
            continue;
        }
        EXPECT_LT(shown.size(), kPath.size());
        EXPECT_TRUE(shown.startsWith(QStringLiteral("/ho"))) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith(QStringLiteral("bin"))) << shown.toStdString();
        EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
        EXPECT_LE(QFontMetrics(label.font()).horizontalAdvance(shown),
                  label.contentsRect().width());
    }
}

}  // namespace
}  // namespace PathLabelTestUnit
