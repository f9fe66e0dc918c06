// The chat-client contract suite on the simulated client.
#include "SimClientDriver.h"
#include "contract/ContractFixture.h"

namespace aol::contract {

INSTANTIATE_TEST_SUITE_P(Sim, ClientContract, ::testing::Values(&aol::testing::MakeSimDriver));

}  // namespace aol::contract
