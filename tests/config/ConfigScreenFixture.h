#pragma once
// The fixture object opened through a data module, as the read screen and
// the editor find it in the program: its row current in Q_Net and the global
// parameters in Global.

#include "foundation/TFDM.h"
#include "foundation/ui/TFProgress.h"

#include "ConfigFilesFixture.h"

#include <memory>

class ConfigScreenFixture : public ConfigFilesFixture {
  protected:
    void SetUp() override {
        ConfigFilesFixture::SetUp();
        dm_ = std::make_unique<TFDM>();
        QString error;
        ASSERT_TRUE(dm_->Connect(DbPath(), &error)) << error.toStdString();
        ASSERT_TRUE(dm_->OpenAllTables()) << dm_->LastError().toStdString();
        ASSERT_TRUE(dm_->Q_Net->Locate("id_net", kIdNet));
    }
    void TearDown() override { dm_.reset(); }

    // The database folder the main window hands over.
    QString DbFolder() const { return QFileInfo(DbPath()).absolutePath() + QLatin1Char('/'); }

    std::unique_ptr<TFDM> dm_;
};
