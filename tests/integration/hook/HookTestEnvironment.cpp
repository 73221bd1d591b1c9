// One private X server for the whole test program.
#include "XvfbServer.h"

#include <gtest/gtest.h>

namespace {

zeltest::TXvfbServer* gServer = nullptr;

class XServerEnvironment : public ::testing::Environment {
public:
    void SetUp() override { gServer = new zeltest::TXvfbServer; }
    void TearDown() override {
        delete gServer;
        gServer = nullptr;
    }
};

const auto* const gEnvironment = ::testing::AddGlobalTestEnvironment(new XServerEnvironment);

}  // namespace
