#pragma once
// A started engine on the null backend: DirectDraw, a windowed 640 x 480
// mode, the device, its shared buffers and materials.

#include <gtest/gtest.h>

#include <memory>

#include "platform/d3d/null_device.h"

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the engine on a null backend with these facts; false when any step fails.
    bool Start(const plat::BackendFacts& facts, bool windowed = true);
    void Stop();

    std::shared_ptr<plat::NullBackend> backend;
    int fakeWindow = 0;
};
