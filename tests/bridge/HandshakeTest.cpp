// How the two ends prove that they know the token: HMAC-SHA256 as RFC 4231 has it, and proofs
// that answer one role and one pair of nonces only.
#include "bridge/protocol/Handshake.h"

#include <gtest/gtest.h>

#include "bridge/Rfc4231.h"

namespace bridge {
namespace {

TEST(Handshake, HmacSha256MeetsRfc4231) {
    for (const testing::HmacVector& v : testing::Rfc4231Vectors()) {
        const std::optional<Digest> mac = HmacSha256(v.key, v.data);
        ASSERT_TRUE(mac);
        EXPECT_EQ(testing::ToHex(mac->data(), mac->size()).substr(0, v.macHex.size()), v.macHex)
            << "data " << v.data;
    }
}

TEST(Handshake, AProofHoldsForOneRoleAndOnePairOfNoncesOnly) {
    const std::string key =
        TokenKey("00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff").value();
    EXPECT_EQ(key.size(), kTokenBytes);
    EXPECT_EQ(static_cast<unsigned char>(key[1]), 0x11);
    const Nonce one = MakeNonce().value();
    const Nonce two = MakeNonce().value();
    EXPECT_NE(one, two);
    const Digest bridgeProof = Proof(key, Role::Bridge, one, two).value();
    EXPECT_TRUE(SameDigest(bridgeProof, Proof(key, Role::Bridge, one, two).value()));
    EXPECT_FALSE(SameDigest(bridgeProof, Proof(key, Role::Melodrop, one, two).value()));
    EXPECT_FALSE(SameDigest(bridgeProof, Proof(key, Role::Bridge, two, one).value()));
    std::string otherKey = key;
    otherKey[0] ^= 1;
    EXPECT_FALSE(SameDigest(bridgeProof, Proof(otherKey, Role::Bridge, one, two).value()));
    for (const char* notAToken :
         {"", "0011", "00112233445566778899AABBCCDDEEFF00112233445566778899AABBCCDDEEFF",
          "00112233445566778899aabbccddeeff00112233445566778899aabbccddeefg"}) {
        EXPECT_FALSE(TokenKey(notAToken)) << notAToken;
    }
}

}  // namespace
}  // namespace bridge
