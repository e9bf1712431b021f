// The deletion test: 14 templates on a neighbourhood in reference
// orientation, which delete towards +j (position 16) and -k (position 12).
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "thinning.hpp"

namespace {

constexpr NeighborhoodBits bitsOf(std::initializer_list<int> positions) {
    NeighborhoodBits bits = 0;
    for (int p : positions) bits |= NeighborhoodBits{1} << p;
    return bits;
}

constexpr bool all(NeighborhoodBits n, NeighborhoodBits mask) { return (n & mask) == mask; }
constexpr bool none(NeighborhoodBits n, NeighborhoodBits mask) { return (n & mask) == 0; }
constexpr bool exactlyOne(NeighborhoodBits n, int a, int b) { return ((n >> a) ^ (n >> b)) & 1; }
constexpr bool both(NeighborhoodBits n, int a, int b) { return (n >> a) & (n >> b) & 1; }

// Templates 1 to 3: a whole reference plane background, with one more object
// point required so that line end points stay.
constexpr NeighborhoodBits kT1Object = bitsOf({13, 10});
constexpr NeighborhoodBits kT1Background = bitsOf({6, 7, 8, 15, 16, 17, 24, 25, 26});
constexpr NeighborhoodBits kT1Any = bitsOf({0, 1, 2, 3, 4, 5, 9, 11, 12, 14, 18, 19, 20, 21, 22, 23});
constexpr NeighborhoodBits kT2Object = bitsOf({13, 14});
constexpr NeighborhoodBits kT2Background = bitsOf({0, 3, 6, 9, 12, 15, 18, 21, 24});
constexpr NeighborhoodBits kT2Any = bitsOf({1, 2, 4, 5, 7, 8, 10, 11, 16, 17, 19, 20, 22, 23, 25, 26});
constexpr NeighborhoodBits kT3Object = bitsOf({13, 11});
constexpr NeighborhoodBits kT3Background = bitsOf({0, 3, 6, 7, 8, 9, 12, 15, 16, 17, 18, 21, 24, 25, 26});
constexpr NeighborhoodBits kT3Any = bitsOf({1, 2, 4, 5, 19, 20, 22, 23});

// Templates 4 to 10 share a core and differ in the states of the i = 0 and
// i = 2 sides.
constexpr NeighborhoodBits kSideObject = bitsOf({13, 10, 14});
constexpr NeighborhoodBits kSideBackground = bitsOf({12, 15, 16});

enum Side : unsigned { kClear = 1, kBridged = 2, kFace = 4 };

// The states (a set of Side bits) that one side satisfies: corner, the two
// edge positions and the face neighbour of that side.
constexpr unsigned sideStates(NeighborhoodBits n, int corner, int edgeA, int edgeB, int face) {
    const bool cornerObject = (n >> corner) & 1;
    unsigned states = 0;
    if (!cornerObject && !both(n, edgeA, edgeB)) states |= kClear;
    if (cornerObject && exactlyOne(n, edgeA, edgeB)) states |= kBridged;
    if ((n >> face) & 1) states |= kFace;
    return states;
}

// Templates 11 to 14: edge neighbour 11 with one of 19, 1, 23, 5.
struct EdgeTemplate {
    NeighborhoodBits object, background;
};
constexpr EdgeTemplate kEdgeTemplates[4] = {
    {bitsOf({13, 11, 19}), bitsOf({0, 3, 6, 7, 8, 9, 12, 15, 16, 17, 24, 25, 26})},
    {bitsOf({13, 11, 1}), bitsOf({6, 7, 8, 9, 12, 15, 16, 17, 18, 21, 24, 25, 26})},
    {bitsOf({13, 11, 23}), bitsOf({0, 3, 6, 7, 8, 9, 12, 15, 16, 17, 18, 21, 24})},
    {bitsOf({13, 11, 5}), bitsOf({0, 3, 6, 9, 12, 15, 16, 17, 18, 21, 24, 25, 26})},
};

}  // namespace

bool matchesTemplateBits(NeighborhoodBits n) {
    // Every template needs the centre object and 12 or 16 background.
    if (!((n >> 13) & 1) || both(n, 12, 16)) return false;
    if (all(n, kT1Object) && none(n, kT1Background) && (n & kT1Any)) return true;
    if (all(n, kT2Object) && none(n, kT2Background) && (n & kT2Any)) return true;
    if (all(n, kT3Object) && none(n, kT3Background) && (n & kT3Any)) return true;
    if (all(n, kSideObject) && none(n, kSideBackground)) {
        const unsigned low = sideStates(n, 6, 3, 7, 4);
        const unsigned high = sideStates(n, 24, 21, 25, 22);
        // (clear, clear), (clear, bridged), (bridged, clear), (clear, face),
        // (face, clear), (bridged, face), (face, bridged).
        if ((low & kClear) && (high & (kClear | kBridged | kFace))) return true;
        if ((high & kClear) && (low & (kBridged | kFace))) return true;
        if ((low & kBridged) && (high & kFace)) return true;
        if ((low & kFace) && (high & kBridged)) return true;
    }
    for (const EdgeTemplate& t : kEdgeTemplates) {
        if (all(n, t.object) && none(n, t.background)) return true;
    }
    return false;
}

bool MatchesATemplate(bool (*neighborhood)[3][3]) {
    unsigned char bytes[27];
    std::memcpy(bytes, neighborhood, sizeof bytes);
    NeighborhoodBits bits = 0;
    for (int p = 0; p < 27; ++p) bits |= NeighborhoodBits{bytes[p] != 0} << p;
    return matchesTemplateBits(bits);
}
