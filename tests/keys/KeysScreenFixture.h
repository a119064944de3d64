#pragma once
// The keys screen on the reference object, shown offscreen at a size an
// operator would use, for the tests that drive it as the operator does.

#include "KeyObjectFixture.h"
#include "keys/ui/TFrKeys.h"

class KeysScreenFixture : public KeyObjectFixture {
  protected:
    void SetUp() override {
        KeyObjectFixture::SetUp();
        ASSERT_EQ(FDM, dm_.get());
        frame_ = std::make_unique<TFrKeys>();
        frame_->resize(1180, 720);
        frame_->PrepareScreen(QString());
        frame_->show();
    }
    void TearDown() override {
        frame_.reset();
        KeyObjectFixture::TearDown();
    }

    std::unique_ptr<TFrKeys> frame_;
};
