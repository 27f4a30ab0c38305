#include "link/Sealer.h"
#include "link/Base64.h"

#include "link/TestBytes.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace helm {
namespace {

static_assert(!std::is_copy_constructible_v<Sealer>);
static_assert(!std::is_copy_assignable_v<Sealer>);
static_assert(std::is_nothrow_move_constructible_v<Sealer>);

Key keyFrom(const char* h) {
    Bytes b = test::unhex(h);
    Key k{};
    std::copy(b.begin(), b.end(), k.begin());
    return k;
}

const Key h2a = keyFrom("e16ad484b848ad394f2bf3e27c9ec13dd4f3a970bf7a3c12d70e658c960a8f94");

TEST(Sealer, KnownSealsAtCounters) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "AAAAAAAAAAAAAAAAcyCbfcmgpHNw78USToqpzoSMee4w8Q=="},
        {1, "AAAAAAAAAAAAAAABi6k1WQ1oG47fVNrsmHDGxqWoRB5kow=="},
        {256, "AAAAAAAAAAAAAAEApRlHZK37gozuQ8DlqvIjqDXjy+9JaQ=="},
        {(std::uint64_t{1} << 32) + 5, "AAAAAAAAAAEAAAAFXHKNeOePgVsdUcS/qKeQSGcdVEF3Vg=="},
    };
    for (auto [counter, sealed] : cases) {
        Sealer out(h2a, counter);
        EXPECT_EQ(out.seal("k 30 1"), sealed);
        EXPECT_EQ(out.counter(), counter + 1);
        Sealer in(h2a, counter);
        EXPECT_EQ(in.open(sealed), "k 30 1");
        EXPECT_EQ(in.counter(), counter + 1);
    }
}

TEST(Sealer, EmptyLineSealsTo28Bytes) {
    Sealer out(h2a);
    std::string sealed = out.seal("");
    EXPECT_EQ(sealed, "AAAAAAAAAAAAAAAAaBIATkIUojBfgwHmiS16mA==");
    EXPECT_EQ(base64Decode(sealed)->size(), 28u);
    Sealer in(h2a);
    EXPECT_EQ(in.open(sealed), "");
}

TEST(Sealer, NistZeroKeyVectorsAtCounterZero) {
    // With an all-zero key and nonce, AES-256-GCM of nothing and of 16 zero bytes.
    Sealer a(Key{});
    EXPECT_EQ(test::unhex("000000000000000000000000530f8afbc74536b9a963b4f1c4cb738b"),
              base64Decode(a.seal("")));
    Sealer b(Key{});
    EXPECT_EQ(test::unhex("000000000000000000000000cea7403d4d606b6e074ec5d3baf39d18"
                          "d0d1c8a799996bf0265b98b5d48ab919"),
              base64Decode(b.seal(std::string(16, '\0'))));
}

TEST(Sealer, LinesOpenOnlyInOrder) {
    Sealer out(h2a);
    std::string l0 = out.seal("first"), l1 = out.seal("second"), l2 = out.seal("third");

    Sealer in(h2a);
    EXPECT_FALSE(in.open(l1)); // skipped
    EXPECT_EQ(in.counter(), 0u);
    EXPECT_EQ(in.open(l0), "first");
    EXPECT_FALSE(in.open(l0)); // replayed
    EXPECT_FALSE(in.open(l2)); // reordered
    EXPECT_EQ(in.counter(), 1u);
    EXPECT_EQ(in.open(l1), "second");
    EXPECT_EQ(in.open(l2), "third");
}

TEST(Sealer, OnlyLineZeroOpensOnAFreshSealer) {
    Sealer out(h2a);
    std::vector<std::string> lines;
    for (int i = 0; i < 3; ++i) {
        lines.push_back(out.seal("x"));
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Sealer fresh(h2a);
        EXPECT_EQ(fresh.open(lines[i]).has_value(), i == 0);
    }
}

// Re-seals the combined form after a change, so that only the change is wrong.
std::string tweaked(const std::string& sealed, void (*change)(Bytes&)) {
    Bytes b = *base64Decode(sealed);
    change(b);
    return base64Encode(b);
}

TEST(Sealer, RefusesDamagedLinesAndKeepsItsCounter) {
    Sealer out(h2a);
    const std::string good = out.seal("k 30 1");
    const std::string cases[] = {
        tweaked(good, [](Bytes& b) { b[0] = 1; }),         // first nonce byte not zero
        tweaked(good, [](Bytes& b) { b[3] = 1; }),         // fourth nonce byte not zero
        tweaked(good, [](Bytes& b) { b.back() ^= 0x01; }), // flipped tag bit
        tweaked(good, [](Bytes& b) { b[12] ^= 0x80; }),    // flipped ciphertext bit
        tweaked(good, [](Bytes& b) { b.resize(27); }),     // too short to hold a tag
        tweaked(good, [](Bytes& b) { b.pop_back(); }),     // cut-off tag
        " " + good,                                        // space
        good.substr(0, good.size() - 2),                   // missing padding
        [&] {                                              // URL-safe alphabet
            std::string s = good;
            for (char& c : s) {
                c = c == '+' ? '-' : c == '/' ? '_' : c;
            }
            return s == good ? s + "-_" : s;
        }(),
        "",
    };
    Sealer in(h2a);
    for (const auto& text : cases) {
        EXPECT_FALSE(in.open(text)) << text;
        EXPECT_EQ(in.counter(), 0u);
    }
    EXPECT_EQ(in.open(good), "k 30 1");
}

TEST(Sealer, RefusesPlainTextThatIsNotUtf8) {
    Sealer out(h2a);
    std::string sealed = out.seal("\xff\xfe not text");
    Sealer in(h2a);
    EXPECT_FALSE(in.open(sealed));
    EXPECT_EQ(in.counter(), 0u);
}

TEST(Sealer, WrongKeyFails) {
    Sealer out(h2a);
    Sealer in(Key{});
    EXPECT_FALSE(in.open(out.seal("p")));
}

TEST(Sealer, MovedFromSealerSealsNothing) {
    Sealer a(h2a);
    a.seal("one");
    Sealer b(std::move(a));
    EXPECT_EQ(b.counter(), 1u);
    EXPECT_EQ(a.seal("two"), ""); // NOLINT: checking the moved-from state on purpose
    Sealer in(h2a, 1);
    EXPECT_EQ(in.open(b.seal("two")), "two");
}

TEST(Sealer, LongLinesMatchTheWholeCombinedForm) {
    // Long lines are sealed and opened in pieces; around each piece boundary the result must
    // be exactly the base64 of nonce, ciphertext and tag computed in one go.
    constexpr std::size_t piece = 3 * 16384;
    for (std::size_t size : {piece - 17, piece - 16, piece - 1, piece, piece + 1, 3 * piece + 2}) {
        std::string line(size, 'a');
        for (std::size_t i = 0; i < size; i += 7) {
            line[i] = static_cast<char>('a' + i % 26);
        }
        Sealer out(h2a, 9);
        std::string sealed = out.seal(line);

        Nonce nonce = Sealer::nonce(9);
        Bytes whole(nonce.begin(), nonce.end());
        whole.resize(12 + size + gcmTagSize);
        AesGcm gcm(h2a);
        gcm.seal(nonce, reinterpret_cast<const std::uint8_t*>(line.data()), size,
                 whole.data() + 12);
        EXPECT_EQ(sealed, base64Encode(whole)) << size;

        Sealer in(h2a, 9);
        EXPECT_EQ(in.open(sealed), line) << size;
        // A "=" at the end of an inner piece must not pass for padding.
        for (std::size_t at : {std::size_t{15}, 16 + piece / 3 * 4 - 1}) {
            if (at + 4 < sealed.size()) {
                std::string bad = sealed;
                bad[at] = '=';
                Sealer again(h2a, 9);
                EXPECT_FALSE(again.open(bad)) << size << " at " << at;
            }
        }
        std::string flipped = sealed;
        flipped[sealed.size() / 2] = flipped[sealed.size() / 2] == 'A' ? 'B' : 'A';
        Sealer again(h2a, 9);
        EXPECT_FALSE(again.open(flipped)) << size;
    }
}

} // namespace
} // namespace helm
