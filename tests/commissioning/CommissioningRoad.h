#pragma once
// The whole program, made as it is at start-up, in a fresh program folder with
// a new database, and the simulated device network behind a pseudo-terminal
// that is listed as the adapter's port. The commissioning test walks the road
// of a job through it; each step is a method that asserts what it leaves, so
// a later step runs only on top of a good one.

#include "foundation/Globals.h"
#include "foundation/NavigationHooks.h"
#include "support/FakeComPorts.h"
#include "support/ScriptedDialogs.h"
#include "support/SimulatedInstallation.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

class TFMainVesk;
class TFrKeys;
class TFrNetDev;
class QWidget;

class CommissioningRoad : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // ---- the road ----
    static constexpr int kLastStep = 11;
    // Runs steps first..last (from 1) in order; false once one failed, and
    // the steps after it are not run.
    bool RunSteps(int first, int last);
    void EnterTheObject();
    void SaveMatrixAndGenerateApartments();
    void MakeDeviceRecords();
    void RegisterKeys();
    void BuildFiles();
    void StartTheBus();
    void WriteDevices();
    void ReadDevicesBack();
    void ImportKeysBack();
    void ChangeOneKey();
    void WriteThroughAFault();

    // True when the road cannot go on: after a failure what follows would
    // only repeat it.
    bool Stopped() const { return HasFailure(); }

    // ---- the keys screen ----
    TFrKeys* OpenKeysScreen();
    // id_pod of the entrances, house by house.
    QList<qint64> Entrances();
    bool GoToApartment(TFrKeys* keys, qint64 idPod, int pNom);
    void ConfirmNextKey(TFrKeys* keys);

    // ---- the network devices screen ----
    TFrNetDev& NetScreen();
    void FindDevices();
    void RunOnDevices(int command, const QList<int>& addresses,
                      const std::function<void()>& expectDuringRun = {});
    // Each write is expected to go through; with lineLost, to fail on a line
    // that went dead, which the operator is told once.
    void WriteFiles(const QList<int>& addresses, bool lineLost = false);
    void ExpectDeviceHoldsItsFile(int address);
    // The write screen builds the files of the devices at these addresses.
    void RebuildFiles(const QList<int>& addresses);

    // ---- what the steps look at ----
    QStringList ServedKeys(int address);
    TFMainVesk& Window();
    void Menu(const QString& item);
    QVariant Scalar(const QString& sql, const QVariantList& values = {});
    int Count(const QString& sql, const QVariantList& values = {}) {
        return Scalar(sql, values).toInt();
    }
    // kf_pr of every device record of the object, by network number.
    QMap<int, int> FileStates();
    QString WriteFolder() const;
    QString ReadFolder() const;
    static QByteArray FileBytes(const QString& path);
    // The file name a device's configuration goes by: ckm01.bin, cbv02.bin, cpo00.bin.
    static QString DeviceFileName(int address, int sepDevice);

    // The 12-digit number of the n-th key registered on the road.
    static QString KeyNumber(int n);
    // Types text key by key; QTest::keyClicks knows Latin letters only.
    static void Type(QWidget* w, const QString& text);

    NavigationHooks savedHooks_ = Hooks();
    ArmGlobals savedGlobals_ = Globals();
    TestDatabase db_;
    ScriptedDialogs dialogs_;
    QSqlDatabase sql_;
    qint64 idNet_ = 0;
    int keysRegistered_ = 0;
    QList<int> devices_;  // addresses of the object's devices on the bus
    bool paced_ = false;  // the bus keeps to 9600 baud (set before the bus step)
    std::unique_ptr<SimulatedInstallation> bus_;
};
