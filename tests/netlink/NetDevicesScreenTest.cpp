// What the network devices screen shows besides the link: the address choice,
// the commands and the configured-device lines.

#include "netlink/NetDevicesScreen.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace NetDevicesScreenTestUnit {

namespace {

TEST(NetScreenTexts, TheAddressChoiceHasOneItemPerAddress) {
    const QStringList items = DeviceChoiceItems();
    ASSERT_EQ(items.size(), 127);
    EXPECT_EQ(items.at(0), "СКМ00");
    EXPECT_EQ(items.at(49), "СКМ49");
    EXPECT_EQ(items.at(50), "устройство 50");
    EXPECT_EQ(items.at(62), "устройство 62");
    EXPECT_EQ(items.at(63), "СПО пост охраны");
    EXPECT_EQ(items.at(64), "СБВ00");
    EXPECT_EQ(items.at(113), "СБВ49");
    EXPECT_EQ(items.at(114), "устройство 114");
    EXPECT_EQ(items.at(125), "устройство 125");
    EXPECT_EQ(items.at(126), "СУС");
}

TEST(NetScreenTexts, ElevenCommands) {
    const QStringList& captions = NetCommandCaptions();
    ASSERT_EQ(captions.size(), kNetCommandCount);
    EXPECT_EQ(captions.at(0), "Основная информация (запрос класса) устройства");
    EXPECT_EQ(captions.at(9), "Запись КФ по выбору в сетевое устройств");
    EXPECT_EQ(captions.at(10), "Сброс сетевого адреса Велта на перемычки");
}

TEST(NetScreenTexts, ConfiguredLinesAndTheirReplacement) {
    EXPECT_EQ(ConfiguredDeviceLine({5, 0, ""}, 63), " КМ05");
    EXPECT_EQ(ConfiguredDeviceLine({5, 4, " B123456789 "}, 63), "~КМ05 SN B123456789");
    EXPECT_EQ(ConfiguredDeviceLine({63, 5, "A000000001"}, 63), "*ПО   SN A000000001");
    EXPECT_EQ(ConfiguredDeviceLine({67, 2, ""}, 63), "-БВ03");
    EXPECT_EQ(ConfiguredDeviceLine({67, 9, ""}, 63), " БВ03");

    QStringList lines = {" КМ01", " КМ02", " ПО  ", " БВ02"};
    EXPECT_TRUE(ReplaceConfiguredLine(lines, 66, "wБВ02 SN B000000066", 63));
    EXPECT_TRUE(ReplaceConfiguredLine(lines, 63, "+ПО  ", 63));
    EXPECT_FALSE(ReplaceConfiguredLine(lines, 7, " КМ07", 63));
    EXPECT_EQ(lines, (QStringList{" КМ01", " КМ02", "+ПО  ", "wБВ02 SN B000000066"}));
}

}  // namespace
}  // namespace NetDevicesScreenTestUnit
