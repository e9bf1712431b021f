#include "stack_geometry.hpp"

#include <wordexp.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_set>
#include <vector>

// ---- Paths -------------------------------------------------------------------

namespace {

std::string expansionProblem(int status) {
    switch (status) {
        case WRDE_CMDSUB:
            return "command substitution is not allowed";
        case WRDE_BADCHAR:
            return "it holds one of | & ; < > ( ) { } or a line break outside quotes";
        case WRDE_SYNTAX:
            return "it is not valid shell syntax (an unmatched quote, for example)";
        case WRDE_NOSPACE:
            return "out of memory";
        default:
            return "word expansion failed with code " + std::to_string(status);
    }
}

}  // namespace

std::string expandTilde(const std::string& text) {
    // Zeroed first: after a failure the expansion puts these members back, and
    // wordfree must see either nothing or what was really allocated.
    wordexp_t words;
    std::memset(&words, 0, sizeof words);
    struct Release {
        wordexp_t& words;
        ~Release() {
            if (words.we_wordv != nullptr) wordfree(&words);
        }
    } release{words};

    const int status = wordexp(text.c_str(), &words, WRDE_NOCMD);
    if (status != 0) {
        throw StackPathError("Path \"" + text + "\" cannot be expanded: " + expansionProblem(status));
    }
    if (words.we_wordc == 0 || words.we_wordv[0] == nullptr) {
        throw StackPathError("Path \"" + text + "\" expands to no file name");
    }
    return words.we_wordv[0];
}

// ---- libtiff messages ----------------------------------------------------------

void DummyHandler(const char*, const char*, va_list) {}

TiffMessagesSilenced::TiffMessagesSilenced()
    : warning_(TIFFSetWarningHandler(DummyHandler)),
      error_(TIFFSetErrorHandler(DummyHandler)),
      warningExt_(TIFFSetWarningHandlerExt(nullptr)),
      errorExt_(TIFFSetErrorHandlerExt(nullptr)) {}

TiffMessagesSilenced::~TiffMessagesSilenced() {
    TIFFSetErrorHandlerExt(errorExt_);
    TIFFSetWarningHandlerExt(warningExt_);
    TIFFSetErrorHandler(error_);
    TIFFSetWarningHandler(warning_);
}

TiffHandle openStackFile(const char* path) {
    const TiffMessagesSilenced silenced;
    return TiffHandle(TIFFOpen(path, "r"));
}

// ---- The directory chain ------------------------------------------------------------

namespace {

// One page: enough for a typical directory, and little waste when directories
// lie far apart between large images.
constexpr uint64_t kBlockBytes = 4096;
constexpr uint64_t kMapFrom = 256 * 1024;

uint64_t unsignedAt(const unsigned char* bytes, int count, bool littleEndian) {
    uint64_t value = 0;
    for (int i = 0; i < count; ++i) {
        const int at = littleEndian ? count - 1 - i : i;
        value = (value << 8) | bytes[at];
    }
    return value;
}

}  // namespace

struct DirectoryChain::State {
    TIFF* handle = nullptr;
    uint64_t size = 0;

    // Memory-mapped file, through the handle's own map procedure.
    void* base = nullptr;
    toff_t mappedSize = 0;

    // Otherwise one cached block, read through the handle's read procedure.
    std::vector<unsigned char> block;
    uint64_t blockStart = UINT64_MAX;

    bool littleEndian = true;
    bool bigTiff = false;

    uint32_t reached = 0;  // highest index known to exist
    uint64_t offset = 0;   // where directory `reached` starts
    bool ended = false;    // no directory beyond `reached`

    // Offsets walked so far. While they only grow, no link can lead back to
    // one; after the first step backwards every offset is looked up.
    std::vector<uint64_t> walked;
    std::unordered_set<uint64_t> seen;
    bool ascending = true;

    bool read(uint64_t at, uint64_t length, unsigned char* out) {
        if (at > size || length > size - at) return false;
        if (base != nullptr) {
            std::memcpy(out, static_cast<const unsigned char*>(base) + at, length);
            return true;
        }
        while (length > 0) {
            const uint64_t start = at - at % kBlockBytes;
            if (start != blockStart && !load(start)) return false;
            const uint64_t within = at - start;
            const uint64_t piece = std::min<uint64_t>(length, block.size() - within);
            std::memcpy(out, block.data() + within, piece);
            out += piece;
            at += piece;
            length -= piece;
        }
        return true;
    }

    bool load(uint64_t start) {
        blockStart = UINT64_MAX;
        block.resize(std::min<uint64_t>(kBlockBytes, size - start));
        const thandle_t client = TIFFClientdata(handle);
        if (TIFFGetSeekProc(handle)(client, start, SEEK_SET) != start) return false;
        const tmsize_t want = static_cast<tmsize_t>(block.size());
        if (TIFFGetReadProc(handle)(client, block.data(), want) != want) return false;
        blockStart = start;
        return true;
    }

    // Entry count and link of the directory at `at`: the offset of the next
    // directory, 0 when there is none or it cannot be read.
    uint64_t linkAfter(uint64_t at) {
        unsigned char bytes[8];
        const uint64_t countBytes = bigTiff ? 8 : 2;
        const uint64_t entryBytes = bigTiff ? 20 : 12;
        const uint64_t linkBytes = bigTiff ? 8 : 4;
        if (!read(at, countBytes, bytes)) return 0;
        const uint64_t entries = unsignedAt(bytes, static_cast<int>(countBytes), littleEndian);
        if (entries > size / entryBytes) return 0;
        const uint64_t linkAt = at + countBytes + entries * entryBytes;
        if (linkAt < at || !read(linkAt, linkBytes, bytes)) return 0;
        return unsignedAt(bytes, static_cast<int>(linkBytes), littleEndian);
    }

    // The header's first directory offset; false when the header is not one
    // of the two TIFF forms.
    bool readHeader() {
        unsigned char header[16];
        if (!read(0, 8, header)) return false;
        if (header[0] == 'I' && header[1] == 'I') {
            littleEndian = true;
        } else if (header[0] == 'M' && header[1] == 'M') {
            littleEndian = false;
        } else {
            return false;
        }
        const uint64_t version = unsignedAt(header + 2, 2, littleEndian);
        if (version == 42) {
            offset = unsignedAt(header + 4, 4, littleEndian);
            return true;
        }
        if (version != 43 || !read(0, 16, header)) return false;
        bigTiff = true;
        offset = unsignedAt(header + 8, 8, littleEndian);
        return true;
    }

    void advance() {
        const uint64_t next = linkAfter(offset);
        unsigned char probe[8];
        if (next == 0 || !read(next, bigTiff ? 8 : 2, probe) || revisits(next)) {
            ended = true;
            return;
        }
        offset = next;
        ++reached;
    }

    bool revisits(uint64_t next) {
        if (ascending && next > offset) {
            walked.push_back(next);
            return false;
        }
        if (ascending) {
            ascending = false;
            seen.insert(walked.begin(), walked.end());
            walked.clear();
            walked.shrink_to_fit();
        }
        return !seen.insert(next).second;
    }
};

DirectoryChain::DirectoryChain(TIFF* handle, DirectoryAccess access) : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.handle = handle;
    const thandle_t client = TIFFClientdata(handle);
    s.size = TIFFGetSizeProc(handle)(client);
    const bool map = access == DirectoryAccess::mapped || (access == DirectoryAccess::automatic && s.size >= kMapFrom);
    if (map && TIFFGetMapFileProc(handle)(client, &s.base, &s.mappedSize) != 0) {
        s.size = s.mappedSize;
    } else {
        s.base = nullptr;
    }
    // Directory 0 is the one that opening made current, so it exists even
    // when the chain cannot be followed beyond it.
    s.ended = !s.readHeader();
    s.walked.push_back(s.offset);
}

DirectoryChain::~DirectoryChain() {
    State& s = *state_;
    if (s.base != nullptr) TIFFGetUnmapFileProc(s.handle)(TIFFClientdata(s.handle), s.base, s.mappedSize);
}

bool DirectoryChain::exists(uint32_t index) {
    State& s = *state_;
    while (s.reached < index && !s.ended) s.advance();
    return index <= s.reached;
}

// ---- Counting ------------------------------------------------------------------

SliceCount searchSliceCount(const std::function<bool(uint32_t)>& probe) {
    uint32_t lo = 0;  // known to exist (directory 0 always does)
    uint32_t hi = 0;  // the index that failed
    bool allFound = true;
    for (uint32_t index = 1; index <= 32768; index *= 8) {
        if (!probe(index)) {
            hi = index;
            allFound = false;
            break;
        }
        lo = index;
    }
    SliceCount count;
    if (allFound) {
        count.manySlices = true;
        hi = 65535;  // directory indices are 16-bit
    }
    while (lo != hi) {
        const uint32_t mid = (lo + hi + 1) / 2;
        if (probe(mid)) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    count.slices = uint64_t{lo} + 1;
    return count;
}

SliceCount countStackSlices(TIFF* handle, DirectoryAccess access) {
    DirectoryChain chain(handle, access);
    return searchSliceCount([&chain](uint32_t index) { return chain.exists(index); });
}

// ---- ImageJ --------------------------------------------------------------------------

namespace {

// Runs `use` on the first directory's description, if the file opens and has
// one; the text lives until the file is closed, after `use` returns.
template <class Use>
void withDescription(const char* path, Use&& use) {
    const TiffMessagesSilenced silenced;
    const TiffHandle handle(TIFFOpen(path, "r"));
    if (!handle) return;
    const char* description = nullptr;
    if (TIFFGetField(handle.get(), TIFFTAG_IMAGEDESCRIPTION, &description) != 1 || description == nullptr) return;
    use(description);
}

}  // namespace

bool isImageJIm(const char* path) {
    bool found = false;
    withDescription(path, [&](const char* description) { found = std::strstr(description, "ImageJ") != nullptr; });
    return found;
}

int64_t imageJImGetZ(const char* path) {
    int64_t images = 0;
    withDescription(path, [&](const char* description) {
        if (std::strstr(description, "ImageJ") == nullptr) return;
        const char* value = std::strstr(description, "images=");
        if (value != nullptr) images = std::strtoll(value + std::strlen("images="), nullptr, 10);
    });
    return images;
}

// ---- The whole probe ------------------------------------------------------------------

StackGeometry readStackGeometry(TiffHandle handle, const char* path) {
    if (!handle) throw std::invalid_argument("readStackGeometry: no open TIFF file");
    const TiffMessagesSilenced silenced;
    StackGeometry geometry;
    uint32_t value = 0;
    if (TIFFGetField(handle.get(), TIFFTAG_IMAGEWIDTH, &value) == 1) geometry.width = value;
    if (TIFFGetField(handle.get(), TIFFTAG_IMAGELENGTH, &value) == 1) geometry.height = value;
    const SliceCount count = countStackSlices(handle.get());
    handle.reset();
    geometry.slices = count.slices;
    geometry.manySlices = count.manySlices;
    // A count of 0 or less is no count; the directories stand.
    if (isImageJIm(path)) {
        const int64_t images = imageJImGetZ(path);
        if (images > 0) geometry.slices = static_cast<uint64_t>(images);
    }
    return geometry;
}
