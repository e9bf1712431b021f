// TIFF files for the stack tests and benchmarks, written with libtiff: tiny
// 8-bit pages, so even 70,000 directories make a file of a few megabytes.
#pragma once

#include <tiffio.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace tiff_fixtures {

struct Stack {
    uint32_t pages = 1;
    uint32_t width = 1;
    uint32_t height = 1;
    const char* description = nullptr;  // on the first page only
    const char* mode = "w";             // "w8" BigTIFF, "wb" big-endian
    bool privateTag = false;            // a tag libtiff warns about on reading
};

constexpr ttag_t kPrivateTag = 65000;

inline void write(const std::string& path, const Stack& stack) {
    TIFF* tiff = TIFFOpen(path.c_str(), stack.mode);
    if (tiff == nullptr) throw std::runtime_error("cannot create " + path);
    static const TIFFFieldInfo privateField[] = {
        {kPrivateTag, -1, -1, TIFF_ASCII, FIELD_CUSTOM, 1, 0, const_cast<char*>("Private")}};
    if (stack.privateTag) TIFFMergeFieldInfo(tiff, privateField, 1);
    const std::vector<unsigned char> pixels(size_t{stack.width} * stack.height);
    bool ok = true;
    for (uint32_t page = 0; page < stack.pages && ok; ++page) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, stack.width);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, stack.height);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, stack.height);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        if (page == 0 && stack.description != nullptr) {
            TIFFSetField(tiff, TIFFTAG_IMAGEDESCRIPTION, stack.description);
        }
        if (page == 0 && stack.privateTag) TIFFSetField(tiff, kPrivateTag, "private");
        ok = TIFFWriteEncodedStrip(tiff, 0, const_cast<unsigned char*>(pixels.data()),
                                   static_cast<tmsize_t>(pixels.size())) >= 0 &&
             TIFFWriteDirectory(tiff) != 0;
    }
    TIFFClose(tiff);
    if (!ok) throw std::runtime_error("cannot write " + path);
}

// A fresh folder under the system's temporary folder, removed with its
// contents at the end of its owner's life.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tiffstack.XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    // The file of `stack` under `name`, written on first use.
    std::string stack(const std::string& name, const Stack& stack) const {
        const std::string path = file(name);
        if (!std::filesystem::exists(path)) write(path, stack);
        return path;
    }

private:
    std::string path_;
};

}  // namespace tiff_fixtures
