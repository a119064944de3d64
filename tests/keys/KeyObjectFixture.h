#pragma once
// The reference object for the key tests, seeded row by row as the program's
// own generators would have written it (entrances and apartments from the
// entrance screen, switch and call-panel records from the matrix), opened
// through a data module with the key datasets on it:
//
// "Дом на Садовой" with a console and one gate; house 1 (prefix "1") with
// entrances 1 (apartments 1-40) and 2 (41-80), house 2 (prefix "2") with
// entrance 1 (1-40); each entrance ends with the console handset. Switches
// 1, 2, 3 on matrix columns 1, 2, 3; the gate panel 65 (number 1) wired to all
// three with plus 1; entrance panels 66, 67, 68 each wired to its column. The
// gate's record was made second, so its id_bv (2) equals the id_pod of house 1
// entrance 2.
// Keys: two in each of the first five apartments of every entrance, three
// common keys per entrance and two on the gate, numbered by a hexadecimal
// counter from 1A0001.

#include "foundation/TFDM.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <memory>

class KeyObjectFixture : public ::testing::Test {
  protected:
    static constexpr int kApartments = 40;  // per entrance
    static constexpr int kObjectKeyQuota = 4;
    static constexpr int kGateNt0 = 1;           // network number 65
    static constexpr int kEntrancePanelNt0 = 2;  // the first entrance's panel: 66
    static constexpr int kGateNet = 64 + kGateNt0;
    static int EntrancePanelNet(int entrance) { return 64 + kEntrancePanelNt0 + entrance; }

    void SetUp() override;
    void TearDown() override { dm_.reset(); }

    // Runs a statement with bound values; fails the test when it fails.
    void Exec(const QString& sql, const QVariantList& values = {});
    QVariant Scalar(const QString& sql, const QVariantList& values = {});
    int Count(const QString& sql, const QVariantList& values = {}) {
        return Scalar(sql, values).toInt();
    }
    // Every row a statement selects, its cells joined by '|': a view of
    // tables to compare before and after.
    QStringList TableRows(const QString& sql);
    // The key register and what an import counts and marks beside it: the
    // keys, the apartments, the entrances and the call panels.
    QStringList RegisterRows() {
        QStringList all;
        for (const char* sql : {"SELECT * FROM k_key ORDER BY rowid", "SELECT * FROM k_kvr",
                                "SELECT * FROM k_pod", "SELECT * FROM k_bv"})
            all << TableRows(sql);
        return all;
    }
    // Reads the data module's datasets again after rows were changed by SQL.
    void Reload();
    // Connects the data module to the database anew, as a first start or a
    // change of the database folder and back leaves it: the datasets the
    // connection opens are open, every other is closed.
    void Reconnect();

    // id_kvr of the apartment at position pNom of entrance 0, 1 or 2.
    int ApartmentId(int entrance, int pNom);
    // Makes that apartment the current one of the key screen's list.
    void GoToApartment(int entrance, int pNom) {
        ASSERT_TRUE(dm_->QForKey->Locate("id_kvr", ApartmentId(entrance, pNom)));
    }
    // Keys of an apartment, and common keys of an entrance.
    int KeysOf(int idKvr) { return Count("SELECT COUNT(*) FROM k_key WHERE id_kvr=?", {idKvr}); }
    int CommonKeysOf(int entrance) {
        return Count("SELECT COUNT(*) FROM k_key WHERE id_kvr=-1 AND id_pod=?",
                     {entranceIds_[entrance]});
    }
    int PanelState(int netNumber) {
        return Count("SELECT kf_pr FROM k_bv WHERE n_net=? AND id_net=?", {netNumber, objectId_});
    }

    TestDatabase tdb_{TestDatabase::Kind::New};
    std::unique_ptr<TFDM> dm_;
    int objectId_ = 0;
    int houseIds_[2] = {};
    int entranceIds_[3] = {};
    int switchIds_[3] = {};
    int gateId_ = 0;  // id_bv of the gate panel
    int entrancePanelIds_[3] = {};

  private:
    int insert(const QString& sql, const QVariantList& values);
    void seedSite();
    void seedApartments(int entrance, int firstNumber);
    void seedDevices();
    void seedKeys();
    QString nextKey();

    int keyCounter_ = 0x1A0000;
};
