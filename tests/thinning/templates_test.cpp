// The deletion test: its accepted set, counted and checked for symmetry over
// every neighbourhood, and the small cases that show each template's intent.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <random>

#include "thinning.hpp"

namespace {

NeighborhoodBits bitsOf(std::initializer_list<int> positions) {
    NeighborhoodBits bits = 0;
    for (int p : positions) bits |= NeighborhoodBits{1} << p;
    return bits;
}

// Mirror i <-> 2 - i: exchanges the planes i = 0 and i = 2.
NeighborhoodBits mirror(NeighborhoodBits n) { return ((n & 0x1FF) << 18) | ((n >> 18) & 0x1FF) | (n & (0x1FFu << 9)); }

// (i, j, k) -> (i, 2 - k, 2 - j), a permutation inside each 3x3 plane.
struct Exchange {
    std::array<uint16_t, 512> plane{};
    Exchange() {
        for (unsigned in = 0; in < 512; ++in) {
            unsigned out = 0;
            for (int j = 0; j < 3; ++j)
                for (int k = 0; k < 3; ++k)
                    if ((in >> (3 * j + k)) & 1) out |= 1u << (3 * (2 - k) + (2 - j));
            plane[in] = static_cast<uint16_t>(out);
        }
    }
    NeighborhoodBits operator()(NeighborhoodBits n) const {
        return plane[n & 0x1FF] | NeighborhoodBits{plane[(n >> 9) & 0x1FF]} << 9 |
               NeighborhoodBits{plane[(n >> 18) & 0x1FF]} << 18;
    }
};

bool matchesBytes(NeighborhoodBits n, unsigned char objectValue = 1) {
    bool buffer[3][3][3];
    unsigned char* bytes = reinterpret_cast<unsigned char*>(buffer);
    for (int p = 0; p < 27; ++p) bytes[p] = (n >> p) & 1 ? objectValue : 0;
    return MatchesATemplate(buffer);
}

}  // namespace

// Every neighbourhood with an object centre, in the release build; under the
// sanitizers (much slower) every 16th, which still checks both symmetries on
// a large spread of cases.
TEST(Templates, AcceptedSetOverEveryNeighbourhood) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    constexpr NeighborhoodBits kStride = 16;
    const bool full = false;
#else
    constexpr NeighborhoodBits kStride = 1;
    const bool full = true;
#endif
    const Exchange exchange;
    const NeighborhoodBits centre = NeighborhoodBits{1} << 13;
    uint64_t accepted = 0, mirrorMismatches = 0, exchangeMismatches = 0;
    for (NeighborhoodBits rest = 0; rest < (NeighborhoodBits{1} << 26); rest += kStride) {
        // Positions 0..12 come from the low bits, 14..26 from the rest.
        const NeighborhoodBits n = (rest & 0x1FFF) | centre | ((rest >> 13) << 14);
        const bool yes = matchesTemplateBits(n);
        accepted += yes;
        mirrorMismatches += yes != matchesTemplateBits(mirror(n));
        exchangeMismatches += yes != matchesTemplateBits(exchange(n));
        ASSERT_FALSE(matchesTemplateBits(n & ~centre));
    }
    if (full) {
        EXPECT_EQ(accepted, 1379581u);
    }
    EXPECT_EQ(mirrorMismatches, 0u);
    EXPECT_EQ(exchangeMismatches, 0u);
}

TEST(Templates, WorkedNeighbourhoods) {
    const NeighborhoodBits all = (NeighborhoodBits{1} << 27) - 1;
    struct Case {
        NeighborhoodBits n;
        bool deletable;
    } cases[] = {
        {0, false},
        {all & ~bitsOf({13}), false},  // background centre
        {bitsOf({13}), false},         // isolated voxel
        {bitsOf({13, 10}), false},     // line end points stay
        {bitsOf({13, 14}), false},
        {bitsOf({13, 10, 14}), true},  // template 4
        {bitsOf({13, 10, 12}), true},  // template 1
        {bitsOf({13, 10, 16}), false},
        {bitsOf({13, 11}), false},
        {bitsOf({13, 11, 1}), true},  // template 12
        {bitsOf({13, 11, 19}), true},
        {bitsOf({13, 11, 5}), true},
        {bitsOf({13, 11, 23}), true},
        {bitsOf({13, 14, 4}), true},                                // template 2
        {bitsOf({13, 11, 2}), true},                                // template 3
        {bitsOf({13, 10, 14, 24, 21}), true},                       // template 5: (clear, bridged)
        {bitsOf({13, 10, 14, 24, 21, 25}), false},                  // corner with both edges: no state
        {bitsOf({13, 10, 14, 4, 6, 3, 7, 22, 24, 21, 25}), false},  // (face, face)
        {bitsOf({13, 10, 14, 6, 3, 24, 21}), false},                // (bridged, bridged)
        {bitsOf({13, 10, 14, 6, 3, 22}), true},                     // template 9
        {all, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.n);
        EXPECT_EQ(matchesTemplateBits(c.n), c.deletable);
        EXPECT_EQ(matchesBytes(c.n), c.deletable);
    }
}

TEST(Templates, ByteFormReadsAnyNonzeroAsObjectAndNeverDeletesWithBothReferenceFacesObject) {
    std::mt19937 rng(3);
    for (int trial = 0; trial < 200000; ++trial) {
        const NeighborhoodBits n = rng() & ((NeighborhoodBits{1} << 27) - 1);
        const bool expected = matchesTemplateBits(n);
        ASSERT_EQ(matchesBytes(n), expected);
        ASSERT_EQ(matchesBytes(n, 100), expected);
        ASSERT_EQ(matchesBytes(n, 200), expected);
        ASSERT_FALSE(matchesTemplateBits(n | bitsOf({12, 16})));
    }
}
