#include "foundation/MainWindowLogic.h"
#include "foundation/ScreenServices.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <QSet>

namespace MainWindowLogicTestUnit {
namespace {

using namespace MainWindowLogic;

TEST(MatrixColumnWidth, StaysWithin16And34WhateverTheWidth) {
    for (int columns : {2, 3, 10, 40, 130})
        for (int width = 0; width <= 6000; width += 37)
            for (bool name : {false, true}) {
                const int w = MatrixColumnWidth(width, columns, 160, name);
                EXPECT_GE(w, kMinMatrixColumn) << width << " " << columns;
                EXPECT_LE(w, kMaxMatrixColumn) << width << " " << columns;
            }
}

TEST(MatrixColumnWidth, SharesTheRestRoundedHalfAway) {
    // 1000 - 21 - 160 = 819 over 20 columns = 40.95 -> capped at 34.
    EXPECT_EQ(34, MatrixColumnWidth(1000, 21, 160, false));
    // 700 - 21 - 160 = 519 / 20 = 25.95 -> 26.
    EXPECT_EQ(26, MatrixColumnWidth(700, 21, 160, false));
    // The call-panel name column takes the first column's width as well:
    // 700 - 21 - 160 - 160 = 359 / 20 = 17.95 -> 18.
    EXPECT_EQ(18, MatrixColumnWidth(700, 21, 160, true));
    // 5 columns, 250 - 5 - 140 = 105 / 4 = 26.25 -> 26; 106 / 4 = 26.5 -> 27.
    EXPECT_EQ(26, MatrixColumnWidth(250, 5, 140, false));
    EXPECT_EQ(27, MatrixColumnWidth(251, 5, 140, false));
    EXPECT_EQ(16, MatrixColumnWidth(100, 1, 160, false));
    EXPECT_EQ(160, MatrixFirstColumnWidth(QStringLiteral("ж")));
    EXPECT_EQ(140, MatrixFirstColumnWidth(QStringLiteral("н")));
}

TEST(ExitScreenNumber, FirstVisibleFrameInTheFixedOrder) {
    EXPECT_EQ(0, ExitScreenNumber([](int) { return false; }));
    EXPECT_EQ(12, ExitScreenNumber([](int s) { return s == 12; }));
    EXPECT_EQ(9, ExitScreenNumber([](int s) { return s == 14 || s == 9; }));
    // Screens 0 and 8 have no frame and are never written.
    EXPECT_EQ(0, ExitScreenNumber([](int s) { return s == 8 || s == 0; }));
}

TEST(StartScreen, EmptyObjectListKeepsOnlyTheFileAndNetworkScreens) {
    EXPECT_EQ(11, StartScreen(11, true));
    EXPECT_EQ(12, StartScreen(12, true));
    for (int s : {0, 2, 9, 14, 99}) EXPECT_EQ(1, StartScreen(s, true)) << s;
    for (int s : {0, 2, 9, 14}) EXPECT_EQ(s, StartScreen(s, false)) << s;
}

TEST(KeyGroupFromSaved, GateKeysOnlyWithGates) {
    EXPECT_EQ(KeyGroup::Gate, KeyGroupFromSaved(4, true));
    EXPECT_EQ(KeyGroup::Apartment, KeyGroupFromSaved(4, false));
    EXPECT_EQ(KeyGroup::Entrance, KeyGroupFromSaved(2, false));
    EXPECT_EQ(KeyGroup::Ter, KeyGroupFromSaved(3, false));
    EXPECT_EQ(KeyGroup::Apartment, KeyGroupFromSaved(0, true));
    EXPECT_EQ(KeyGroup::Apartment, KeyGroupFromSaved(-7, true));
}

TEST(OpenDatabaseWithFallback, TriesSavedThenDefaultFolderAndKeepsEveryReason) {
    QStringList tried;
    auto opener = [&tried](QSet<QString> good) {
        return [&tried, good](const QString& f, QString* reason) {
            tried << f;
            if (!good.contains(f)) *reason = QStringLiteral("нет файла в ") + f;
            return good.contains(f);
        };
    };
    DbOpenOutcome r = OpenDatabaseWithFallback("/a/", "/d/", opener({"/a/"}));
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(QStringLiteral("/a/"), r.folder);
    EXPECT_EQ(QStringList({"/a/"}), tried);

    tried.clear();
    r = OpenDatabaseWithFallback("/a/", "/d/", opener({"/d/"}));
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(QStringLiteral("/d/"), r.folder);
    EXPECT_EQ(QStringList({"/a/", "/d/"}), tried);

    tried.clear();
    r = OpenDatabaseWithFallback("/a/", "/d/", opener({}));
    EXPECT_FALSE(r.opened);
    EXPECT_EQ(QStringLiteral("/d/"), r.folder);
    EXPECT_EQ(QStringLiteral("Ошибка открытия БД /d/!\nнет файла в /a/\nнет файла в /d/"),
              MainWindowTexts::OpenFailed(r.folder, r.reasons));
    EXPECT_EQ(QStringLiteral("Ошибка открытия БД /d/!"), MainWindowTexts::OpenFailed(r.folder));

    // No saved folder: the default one, once.
    for (const QString& saved : {QString(), QStringLiteral(" "), QStringLiteral("/d/")}) {
        tried.clear();
        r = OpenDatabaseWithFallback(saved, "/d/", opener({}));
        EXPECT_FALSE(r.opened);
        EXPECT_EQ(QStringList({"/d/"}), tried);
        EXPECT_EQ(QStringList({"нет файла в /d/"}), r.reasons);
    }
}

TEST(WindowOnScreen, ASizeLargerThanTheScreenShrinksAndTheFrameMovesIn) {
    const QSize desk(1280, 760);
    EXPECT_EQ(QSize(1024, 700), FitWindowToScreen({1024, 700}, desk));
    EXPECT_EQ(QSize(1280, 760), FitWindowToScreen({5000, 4000}, desk));
    EXPECT_EQ(QSize(1272, 730), FitWindowToScreen({5000, 4000}, desk, {8, 30}));
    EXPECT_EQ(QSize(5000, 4000), FitWindowToScreen({5000, 4000}, QSize()));
    const QRect area(0, 40, 1280, 760);
    EXPECT_EQ(QRect(0, 40, 800, 600), KeepWithin({-30, 0, 800, 600}, area));
    EXPECT_EQ(QRect(480, 200, 800, 600), KeepWithin({900, 500, 800, 600}, area));
    EXPECT_EQ(QRect(100, 100, 800, 600), KeepWithin({100, 100, 800, 600}, area));
}

TEST(MainHelpTopic, ActiveFormBeforeVisibleScreen) {
    EXPECT_EQ(231, MainHelpTopic(QStringLiteral("FpkEdit"), 2));
    EXPECT_EQ(1, MainHelpTopic(QStringLiteral("AboutBox"), 0));
    EXPECT_EQ(103, MainHelpTopic(QString(), 2));
    EXPECT_EQ(401, MainHelpTopic(QStringLiteral("FDialog"), 12));
    EXPECT_EQ(106, MainHelpTopic(QString(), 14));
    EXPECT_EQ(100, MainHelpTopic(QString(), 0));
}

TEST(Screens, TitlesAndFrames) {
    EXPECT_EQ(QStringLiteral("FrDom1"), Screens::Find(2)->frame);
    EXPECT_EQ(QStringLiteral("Разбор конфигурационных файлов, сохраненных в каталогах "),
              Screens::Find(11)->title);
    EXPECT_TRUE(Screens::Find(8)->frame.isEmpty());
    EXPECT_EQ(nullptr, Screens::Find(15));
    EXPECT_EQ(nullptr, Screens::Find(-1));
}
}  // namespace
}  // namespace MainWindowLogicTestUnit
