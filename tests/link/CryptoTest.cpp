#include "link/Evp.h"
#include "link/Hex.h"
#include "link/PivmorCrypto.h"

#include "link/TestBytes.h"

#include <gtest/gtest.h>

namespace helm {
namespace {

using test::unhex;
using test::unhexText;

std::string repeat(char c, std::size_t n) {
    return std::string(n, c);
}

TEST(Crypto, HmacSha256Rfc4231) {
    struct Case {
        std::string key, data, mac;
    };
    const Case cases[] = {
        {repeat('\x0b', 20), "Hi There",
         "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
        {"Jefe", "what do ya want for nothing?",
         "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
        {repeat('\xaa', 20), repeat('\xdd', 50),
         "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe"},
        {unhexText("0102030405060708090a0b0c0d0e0f10111213141516171819"), repeat('\xcd', 50),
         "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b"},
        {repeat('\xaa', 131), "Test Using Larger Than Block-Size Key - Hash Key First",
         "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54"},
        {repeat('\xaa', 131),
         "This is a test using a larger than block-size key and a larger than block-size data. "
         "The key needs to be hashed before being used by the HMAC algorithm.",
         "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PivmorCrypto::hmac(c.key, c.data), c.mac);
    }
}

TEST(Crypto, HmacWithEmptyKeyIsDefined) {
    EXPECT_EQ(PivmorCrypto::hmac("", ""),
              "b613679a0814d9ec772f95d778c35fc5ff1697c493715653c6c712144292c5ad");
    EXPECT_EQ(PivmorCrypto::hmac("", "The quick brown fox jumps over the lazy dog"),
              "fb011e6154a19b9a4c767373c305275a5a69e8b68b0b4c9200c383dced19a416");
    EXPECT_EQ(PivmorCrypto::hmac("key", "The quick brown fox jumps over the lazy dog"),
              "f7bc83f430538424b13298e6aa6fb143ef4d59a14946175997479dbc2d1a3cd8");
}

TEST(Crypto, HkdfSha256Rfc5869) {
    struct Case {
        std::string ikm, salt, info;
        std::size_t length;
        std::string okm;
    };
    auto range = [](int from, int to) {
        std::string s;
        for (int i = from; i <= to; ++i) {
            s += static_cast<char>(i);
        }
        return s;
    };
    const Case cases[] = {
        {repeat('\x0b', 22), range(0x00, 0x0c), range(0xf0, 0xf9), 42,
         "3cb25f25faacd57a90434f64d0362f2a2d2d0a90cf1a5a4c5db02d56ecc4c5bf34007208d5b887185865"},
        {range(0x00, 0x4f), range(0x60, 0xaf), range(0xb0, 0xff), 82,
         "b11e398dc80327a1c8e7f78c596a49344f012eda2d4efad8a050cc4c19afa97c59045a99cac7827271cb41"
         "c65e590e09da3275600c2f09b8367793a9aca3db71cc30c58179ec3e87c14c01d5c1f3434f1d87"},
        {repeat('\x0b', 22), "", "", 42,
         "8da4e775a563c18f715f802a063c5a31b8a11f5c5ee1879ec3454e5f3c738d2d9d201395faa4b61a96c8"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hex(hkdfSha256(c.ikm, c.salt, c.info, c.length)), c.okm);
    }
}

TEST(Crypto, Aes256GcmNistVector) {
    // The 256-bit key case with a 96-bit nonce and no additional data.
    Key key{};
    Bytes k = unhex("feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308");
    std::copy(k.begin(), k.end(), key.begin());
    Nonce nonce{};
    Bytes n = unhex("cafebabefacedbaddecaf888");
    std::copy(n.begin(), n.end(), nonce.begin());
    Bytes plain = unhex("d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a72"
                        "1c3c0c95956809532fcf0e2449a6b525b16aedf5aa0de657ba637b391aafd255");
    Bytes out(plain.size() + gcmTagSize);
    AesGcm gcm(key);
    gcm.seal(nonce, plain.data(), plain.size(), out.data());
    EXPECT_EQ(hex(out), "522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa"
                        "8cb08e48590dbb3da7b08b1056828838c5f61e6393ba7a0abcc9f662898015ad"
                        "b094dac5d93471bdec1a502270e3cc6c");
    Bytes back(plain.size());
    ASSERT_TRUE(gcm.open(nonce, out.data(), plain.size(), out.data() + plain.size(), back.data()));
    EXPECT_EQ(back, plain);
    out[3] ^= 1;
    EXPECT_FALSE(gcm.open(nonce, out.data(), plain.size(), out.data() + plain.size(), back.data()));
}

const std::string T = "pivmor2|00112233445566778899aabbccddeeff|ffeeddccbbaa99887766554433221100|"
                      "BHVi|BAgu|ctl";

TEST(Crypto, TranscriptJoinsTheFieldsInOrder) {
    EXPECT_EQ(PivmorCrypto::transcript("00112233445566778899aabbccddeeff",
                                       "ffeeddccbbaa99887766554433221100", "BHVi", "BAgu", "ctl"),
              T);
    EXPECT_EQ(PivmorCrypto::transcript("", "", "", "", ""), "pivmor2|||||");
}

TEST(Crypto, ProofsOverTheTranscript) {
    EXPECT_EQ(PivmorCrypto::hmac("secret48", "agent|" + T),
              "cbb4b022eb1746c146658d8f5b75f5cd26a66297efd44444d3bfe31ee42e69fd");
    EXPECT_EQ(PivmorCrypto::hmac("", "hub|" + T),
              "455c77fe60057b15bec417ad095454305e424b540493d9630edc9404313db8e9");
}

TEST(Crypto, LinkKeysPerDirection) {
    std::string shared;
    for (int i = 0; i < 32; ++i) {
        shared += static_cast<char>(i);
    }
    auto keys = PivmorCrypto::keys(shared, "0123456789abcdef0123456789abcdef0123456789abcdef", T);
    EXPECT_EQ(hex(keys.hubToAgent.data(), 32),
              "e16ad484b848ad394f2bf3e27c9ec13dd4f3a970bf7a3c12d70e658c960a8f94");
    EXPECT_EQ(hex(keys.agentToHub.data(), 32),
              "d16f430d8c51dec490e76970881580a3a9d0e7338a62e00fe1c98a4b427e522e");
}

TEST(Crypto, CheckCodeIsAlwaysFourDigits) {
    EXPECT_EQ(PivmorCrypto::checkCode(T), "3269");
    // SHA-256 of this one leaves 92: the code keeps its leading zeros.
    EXPECT_EQ(PivmorCrypto::checkCode(T + "14"), "0092");
}

TEST(Crypto, SameComparesWholeStrings) {
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"", "", true},
        {"abc", "abc", true},
        {"abc", "abcd", false},
        {"abcd", "abc", false},
        {"abc", "abd", false},
        {"ABC", "abc", false},
        {std::string("a\0b", 3), std::string("a\0c", 3), false},
    };
    for (const auto& [a, b, expected] : cases) {
        EXPECT_EQ(PivmorCrypto::same(a, b), expected) << a << " / " << b;
    }
}

} // namespace
} // namespace helm
