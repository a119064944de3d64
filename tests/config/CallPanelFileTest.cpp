#include "config/CallCodeSection.h"
#include "config/CallPanelFile.h"
#include "config/ConfigFileReader.h"
#include "config/ConfigHeader.h"
#include "config/ConfigRepository.h"
#include "config/FlagSection.h"
#include "config/PanelEntranceSection.h"
#include "config/PanelKeySections.h"
#include "config/TBvParams.h"
#include "support/ScriptedDialogs.h"

#include "ConfigObjectFixture.h"
#include "SectionBytes.h"

#include <gtest/gtest.h>

namespace CallPanelFileTestUnit {
namespace {

using namespace cfgtest;

namespace {

class CallPanelFileTest : public ConfigObjectFixture {
  protected:
    PanelFileInput Input(int nNet) {
        ConfigRepository repo(Db());
        std::optional<PanelFileInput> in;
        EXPECT_TRUE(repo.ReadPanelFileInput(kIdNet, nNet, in)) << repo.LastError().toStdString();
        EXPECT_TRUE(in.has_value());
        return in.value_or(PanelFileInput());
    }

    // The sections of a built file as the file reader and the section walk give them.
    QList<ConfigSection> ReadBack(const QByteArray& file, int address) {
        ConfigReadOutput out;
        QStringList messages, header;
        EXPECT_EQ(ReadConfigBytes(file, out, &messages, &header, 63), ConfigReadStatus::Ok);
        EXPECT_EQ(out.deviceNumber, address);
        EXPECT_EQ(messages.value(1), "Файл создан в АРМ Kiro-2");
        QString image = out.image, dateText;
        EXPECT_EQ(CheckConfigTrailer(image, dateText), kTrailerUnchanged);
        const QList<ConfigSection> sections = TakeAllSections(image);
        EXPECT_EQ(image, Ones(16));  // only the end mark is left
        return sections;
    }

    static QStringList Keys(const Keys5List& list) {
        QStringList keys;
        for (const Keys5Row& row : list.rows)
            if (row.key != EmptyKeyText()) keys << row.apartment + ":" + row.key;
        return keys;
    }
};

TEST_F(CallPanelFileTest, RepositoryReadsThePanelAsTheWriteScreenSeesIt) {
    const PanelFileInput door = Input(65);
    EXPECT_EQ(door.sepDevice, 63);
    EXPECT_EQ(door.device.nNt0, 1);
    EXPECT_EQ(door.device.sl, 8);  // the defaults of a new panel
    EXPECT_EQ(door.device.ot, 5);
    EXPECT_EQ(door.device.adrcs, -1);
    EXPECT_TRUE(door.device.nrcs);
    EXPECT_EQ(door.prefixWidth, 2);
    EXPECT_TRUE(door.reserveSlots);
    ASSERT_EQ(door.entrances.size(), 1);
    const PanelEntranceRow& e = door.entrances[0];
    EXPECT_EQ(e.nNet, 1);
    EXPECT_EQ(e.idPk, IdPk(1));
    EXPECT_EQ(e.oKey, kCommonKeys);
    ASSERT_EQ(e.apartments.size(), 41);
    EXPECT_EQ(e.apartments[0].keys,
              (QStringList{PanelKey(ApartmentKeyNo(1, 1, 1)), PanelKey(ApartmentKeyNo(1, 1, 2))}));
    EXPECT_EQ(e.apartments[0].yKey, 2);
    EXPECT_TRUE(e.apartments[5].keys.isEmpty());
    EXPECT_EQ(e.apartments[40].call.stKvr, "СПО");
    EXPECT_EQ(e.commonKeys.size(), kCommonKeys);
    EXPECT_TRUE(door.gateKeys.isEmpty());

    const PanelFileInput gate = Input(68);
    EXPECT_EQ(gate.device.bvType, 1);
    EXPECT_EQ(gate.entrances.size(), 3);
    EXPECT_EQ(gate.gateKeys, (QStringList{PanelKey(GateKeyNo(1)), PanelKey(GateKeyNo(2))}));
    EXPECT_EQ(PanelCallApartments(gate.entrances).size(), 123);

    // An entrance linked with plus 2 gives all its keys, once each.
    Sql("INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_net, n_nt0, plus, id_bv, tract)"
        " VALUES (1, 'БВ.1', 2, 0, 65, 1, 2, 1, 0)");
    Sql("INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net) VALUES"
        " ('1', 2, ?, -1, 1)",
        {PanelKey(ApartmentKeyNo(2, 1, 1))});
    const PanelFileInput linked = Input(65);
    ASSERT_EQ(linked.linkedEntrances.size(), 1);
    EXPECT_EQ(linked.linkedEntrances[0].keys.size(),
              kKeyedApartments * kKeysPerApartment + kCommonKeys);

    ConfigRepository repo(Db());
    std::optional<PanelFileInput> none;
    EXPECT_TRUE(repo.ReadPanelFileInput(kIdNet, 80, none));
    EXPECT_FALSE(none.has_value());
}

TEST_F(CallPanelFileTest, WholeFileReadsBackSectionBySection) {
    Sql("UPDATE k_bv SET adrpk = ?, adrcs = 41, ocode0 = '0451', sl = 9 WHERE n_net = 65",
        {IdPk(1)});
    Sql("UPDATE k_pod SET d_key = 2 WHERE id_pod = 1");
    const PanelFileInput in = Input(65);
    const ConfigFileBuild b = BuildCallPanelFile(in, "/w/cbv00.bin");
    ASSERT_EQ(b.status, ConfigBuildStatus::Built);
    EXPECT_EQ(b.resultLine, "Файл /w/cbv00.bin сохранен.");
    EXPECT_EQ(b.bytes.left(14), Bytes({65, 0xF0, 0, 0, 0, 0, 0, 0, 0xC0, 0x56, 0x34, 0x12, 1, 0}));
    EXPECT_EQ(b.bytes.right(2), Bytes({0xFF, 0xFF}));

    const QList<ConfigSection> s = ReadBack(b.bytes, 65);
    ASSERT_EQ(s.size(), 8);

    const BvParamsValues params = DecodeBvParams(s[0].text);
    EXPECT_EQ(params.SL, 9);
    EXPECT_EQ(params.OT, 5);
    EXPECT_TRUE(params.Nrcs);
    EXPECT_EQ(params.ADRCS, 40);  // the console handset, the last row of the entrance
    EXPECT_EQ(params.Ocode[0], "0451");

    const ConfigIdent id = DecodeIdentSection(s[1].text);
    EXPECT_EQ(id.nNet, 65);
    EXPECT_EQ(id.type, 0);
    EXPECT_EQ(id.recordId, 1);
    EXPECT_EQ(id.idNom, kIdNom);

    const BvEntranceGrid grid = DecodeBvEntranceMask(s[2].text, 63);
    EXPECT_EQ(grid.columns[1].served, "1");
    EXPECT_EQ(grid.columns[1].count, "41");
    EXPECT_EQ(grid.columns[1].ai, "0");
    EXPECT_EQ(grid.servedEntrances, 1);
    EXPECT_EQ(grid.apartmentTotal, 41);

    const CallCodeUnpack codes = UnpackCallCodes(grid.apartmentTotal, s[3].text);
    EXPECT_EQ(codes.error, " ");
    ASSERT_FALSE(codes.records.isEmpty());
    EXPECT_EQ(codes.records[0].code, "1");
    EXPECT_EQ(codes.records[39].code, "40");
    EXPECT_EQ(codes.records[40].code, "900");

    QList<CallCodeRecord> records = codes.records;
    const FlagSectionValues flags = DecodeFlagRecords(s[4].text, records);
    EXPECT_EQ(flags.dataMask, "11" + Zeros(14));
    ASSERT_FALSE(records.isEmpty());
    EXPECT_EQ(records[0].flags, "00");

    const Keys5List keys5 = DecodeBvKeys5(s[5].text);
    EXPECT_EQ(keys5.kolSl5, 80);  // x_key 2 for each of the 40 apartments
    EXPECT_EQ(keys5.minSl, 0);
    QStringList expected;
    for (int a = 1; a <= kKeyedApartments; ++a)
        for (int k = 1; k <= kKeysPerApartment; ++k)
            expected << QString::number(a) + ":" + PanelKey(ApartmentKeyNo(1, a, k));
    EXPECT_EQ(Keys(keys5), expected);
    ASSERT_FALSE(keys5.rows.isEmpty());
    EXPECT_EQ(keys5.rows.last().apartment, "40");

    const Keys6List keys6 = DecodeBvKeys6(s[6].text);
    EXPECT_EQ(keys6.kolSl6, 2);
    EXPECT_EQ(keys6.bitSl, 6);

    const Keys7List keys7 = DecodeBvKeys7(s[7].text);
    EXPECT_EQ(keys7.keys, (QStringList{PanelKey(CommonKeyNo(1, 1)), PanelKey(CommonKeyNo(1, 2)),
                                       PanelKey(CommonKeyNo(1, 3))}));

    const QStringList& r = b.logs.result;
    EXPECT_TRUE(r.contains("Слияние в файл"));
    EXPECT_TRUE(r.contains("Размер секции 0 БВ01 := 31"));
    EXPECT_TRUE(r.contains("Cлотов ключей в 5 секции 80"));
    ASSERT_FALSE(r.isEmpty());
    EXPECT_EQ(r.last(), "Длина файла:=" + QString::number(b.bytes.size() - 31));
    EXPECT_FALSE(r.contains("Предупреждение, индекс трубки ППО не совпадает с трубкой ППО."));
}

TEST_F(CallPanelFileTest, GatePanel) {
    // A gate key that is also an apartment key of a wired entrance is not repeated.
    Sql("INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net) VALUES ('x', 4, ?, -2, 1)",
        {PanelKey(ApartmentKeyNo(3, 2, 1))});
    const ConfigFileBuild b = BuildCallPanelFile(Input(68), "/w/cbv03.bin");
    ASSERT_EQ(b.status, ConfigBuildStatus::Built);
    const QList<ConfigSection> s = ReadBack(b.bytes, 68);
    ASSERT_EQ(s.size(), 8);
    const CallCodeUnpack codes = UnpackCallCodes(123, s[3].text);
    ASSERT_FALSE(codes.records.isEmpty());
    EXPECT_EQ(codes.records[0].code, "101");
    EXPECT_EQ(codes.records[82].code, "201");
    const Keys7List keys7 = DecodeBvKeys7(s[7].text);
    ASSERT_EQ(keys7.keys.size(), kEntrances * kCommonKeys + kGateKeys);
    EXPECT_EQ(keys7.keys.mid(9), (QStringList{PanelKey(GateKeyNo(1)), PanelKey(GateKeyNo(2))}));
    EXPECT_EQ(DecodeBvKeys5(s[5].text).kolSl5, 3 * 40 * 2);
}

TEST_F(CallPanelFileTest, TooManyKeySlotsStopAtSection5) {
    Sql("UPDATE k_net SET v_key = 200");
    const ConfigFileBuild b = BuildCallPanelFile(Input(66), "/w/cbv01.bin");
    EXPECT_EQ(b.status, ConfigBuildStatus::TooLarge);
    EXPECT_EQ(b.stopSection, 5);
    EXPECT_TRUE(b.bytes.isEmpty());
    EXPECT_EQ(b.resultLine,
              "ФАЙЛ  ******** /w/cbv01.bin ОБНУЛЕН на этапе формирования секции 5 из-за превышения "
              "длины! Следует уменьшить количество ключей на квартиру или количество резервных "
              "ключей на квартиры подъезда. ");
    EXPECT_TRUE(b.logs.result.contains("* Формирование файла прекращено!  *"));
}

TEST_F(CallPanelFileTest, APanelWithTheOldNoCodeGetsItsFile) {
    Sql("UPDATE k_bv SET ocode0 = '111111', ocode1 = '110123', ocode2 = '' WHERE n_net = 65");
    const ConfigFileBuild b = BuildCallPanelFile(Input(65), "/w/cbv01.bin");
    ASSERT_EQ(b.status, ConfigBuildStatus::Built) << b.resultLine.toStdString();
    const QList<ConfigSection> sections = ReadBack(b.bytes, 65);
    ASSERT_FALSE(sections.isEmpty());
    const BvParamsValues v = DecodeBvParams(sections[0].text);
    EXPECT_EQ(v.Ocode[0], "");
    EXPECT_EQ(v.Ocode[1], "0123");
    EXPECT_EQ(v.Ocode[2], "");
}

TEST_F(CallPanelFileTest, PanelsThatGetNoFile) {
    Sql("UPDATE k_bv SET ocode2 = '999999' WHERE n_net = 65");
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка",
                   "Код открытия двери 2 \"999999\": нужно число не длиннее 6 цифр и не больше "
                   "131070.");
    const ConfigFileBuild b = BuildCallPanelFile(Input(65), "/w/cbv00.bin");
    EXPECT_EQ(b.status, ConfigBuildStatus::Failed);
    EXPECT_EQ(b.stopSection, 0);
    EXPECT_EQ(b.resultLine, "Файл /w/cbv00.bin НЕ СОЗДАН! Ошибка. ");
    EXPECT_FALSE(b.HasFile());
}

}  // namespace
}  // namespace
}  // namespace CallPanelFileTestUnit
