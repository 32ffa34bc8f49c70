// What an effect needs to be set up and drawn in a test: the virtual host, a display device and the
// angle tables, without the rest of start-up.
#pragma once

#include <gtest/gtest.h>

#include "app/shell.h"
#include "platform/virtual/virtual_host.h"
#include "render/tables.h"

class EffectTest : public ::testing::Test {
protected:
    void SetUp() override {
        qhost::SetCurrent(&host);
        ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&directDraw), IID_IDirectDraw7, nullptr), DD_OK);
        BuildTrigTables();
    }
    void TearDown() override { qhost::SetCurrent(nullptr); }

    qhost::VirtualHost host;
};
