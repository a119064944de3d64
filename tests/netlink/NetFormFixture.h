#pragma once
// The network settings form on the simulated device bus: a temporary program
// folder, the adapter's port on a pseudo-terminal listed as "DARVO CWN", and
// the form with its link, whose pauses and clock are the bus's.

#include "netlink/ui/TFNetTime.h"
#include "support/DeviceBusSimulator.h"
#include "support/FakeComPorts.h"
#include "support/PtyPair.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/SimulatedBusClock.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>
#include <QLineEdit>

#include <memory>

class NetFormFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ports.AddAdapter(pty.SlavePath());
        MakeForm();
    }

    // A new form, reading the settings file as it is now.
    void MakeForm() {
        form.reset();
        form = std::make_unique<TFNetTime>();
        form->SetPauseForTests([this](int ms) { busClock.Pause(ms); });
        form->SetClockForTests([this] { return busClock.NowMs(); });
    }

    TNetLink& Link() { return form->Link(); }
    QString Port() const { return pty.SlavePath(); }

    ScriptedDialogs dialogs;  // every message must be expected
    TempProgramDir dir;
    PtyPair pty;
    DeviceBusSimulator bus{pty};
    SimulatedBusClock busClock{bus};
    FakeComPorts ports;
    std::unique_ptr<TFNetTime> form;
};
