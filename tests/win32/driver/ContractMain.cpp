// The chat-client contract suite on real Win32 windows: the module, through Win32WindowSystem,
// against the fake chat client in a process of its own.
#include <gtest/gtest.h>

#include "contract/ContractFixture.h"
#include "driver/Win32ClientDriver.h"

namespace aol::contract {
namespace {

std::unique_ptr<ClientDriver> MakeWin32Driver() {
    return std::make_unique<wintest::Win32ClientDriver>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, ClientContract, ::testing::Values(&MakeWin32Driver));

}  // namespace aol::contract

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
