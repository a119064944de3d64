#pragma once
// The fixture object opened through a data module, as the read screen and
// the editor find it in the program: its row current in Q_Net and the global
// parameters in Global.

#include "foundation/TFDM.h"
#include "foundation/ui/TFProgress.h"
#include "support/ScreenShots.h"

#include "ConfigFilesFixture.h"

#include <QApplication>

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

// One of the screens on the fixture object, shown offscreen as large as a
// window can be on the test screen and laid out before the first click.
template <class Frame>
class ScreenFrameFixture : public ConfigScreenFixture {
  protected:
    void SetUp() override {
        ConfigScreenFixture::SetUp();
        frame_ = std::make_unique<Frame>();
        frame_->resize(kWindowRoom);
        frame_->PrepareScreen(DbFolder());
        frame_->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        frame_.reset();
        ConfigScreenFixture::TearDown();
    }

    std::unique_ptr<Frame> frame_;
};
