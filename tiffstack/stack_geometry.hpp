// Height, width and slice count of a multi-page TIFF file, read from its
// image directories without touching pixel data. An image count that ImageJ
// wrote into the first description replaces the directory count.
#pragma once

#include <tiffio.h>

#include <cstdarg>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

struct StackGeometry {
    uint64_t height = 1;      // ImageLength of the first directory, 1 when absent
    uint64_t width = 1;       // ImageWidth of the first directory, 1 when absent
    uint64_t slices = 1;      // directories counted (at most 65536), or ImageJ's count
    bool manySlices = false;  // more than 32768 directories
};

struct SliceCount {
    uint64_t slices = 1;
    bool manySlices = false;
};

// A path that the core cannot use; the message names the path.
class StackPathError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TiffCloser {
    void operator()(TIFF* handle) const { TIFFClose(handle); }
};
// An open TIFF file, closed when the owner lets go of it, on every path.
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// The path's shell word expansion (tilde, variables, quoting, patterns), of
// which the first word is kept. Command substitution is refused, so a file
// name cannot run a program. Throws StackPathError when the expansion fails
// or yields no word.
std::string expandTilde(const std::string& text);

// A libtiff warning (or error) handler that drops the message.
void DummyHandler(const char* module, const char* format, va_list arguments);

// For its lifetime, libtiff's warnings and errors go to DummyHandler; then
// the handlers it replaced are put back. Errors are silenced too because the
// process-wide handler may belong to another library in the host (an image
// library that reads TIFF itself, say) whose handler must only run inside
// that library's own calls. What goes wrong reaches the caller as a result.
class TiffMessagesSilenced {
public:
    TiffMessagesSilenced();
    ~TiffMessagesSilenced();
    TiffMessagesSilenced(const TiffMessagesSilenced&) = delete;
    TiffMessagesSilenced& operator=(const TiffMessagesSilenced&) = delete;

private:
    TIFFErrorHandler warning_;
    TIFFErrorHandler error_;
    TIFFErrorHandlerExt warningExt_;
    TIFFErrorHandlerExt errorExt_;
};

// Opens the file read-only with libtiff's messages silenced; empty when it
// cannot be opened.
TiffHandle openStackFile(const char* path);

// Takes over an open handle: reads the size tags of the current (first)
// directory, counts the slices, closes the handle, then applies ImageJ's
// image count found in the file at path.
StackGeometry readStackGeometry(TiffHandle handle, const char* path);

// How the directory chain is read. `automatic` maps files of 256 KiB and
// more and reads smaller ones in blocks (a few reads cost less than setting
// up a mapping); `mapped` maps every file; `reads` never maps. A file that
// cannot be mapped is read in blocks.
enum class DirectoryAccess { automatic, mapped, reads };

// Whether image directories exist, by index, found by following the chain
// of directory links from the file header. Only each directory's entry count
// and link are read. The chain is walked forward once, however the indices
// are asked for, so any number of questions costs at most one walk over
// min(N, index + 1) directories. A link back to a directory seen before ends
// the chain, as a link that leads outside the file does.
class DirectoryChain {
public:
    explicit DirectoryChain(TIFF* handle, DirectoryAccess access = DirectoryAccess::automatic);
    ~DirectoryChain();
    DirectoryChain(const DirectoryChain&) = delete;
    DirectoryChain& operator=(const DirectoryChain&) = delete;

    bool exists(uint32_t index);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The directory search: probes 1, 8, 64, 512, 4096 and 32768 until one fails,
// then halves the remaining interval; at most 21 probes. The count is exact
// up to 65536 directories and 65536 beyond.
SliceCount searchSliceCount(const std::function<bool(uint32_t)>& probe);

// searchSliceCount over the directories of an open file.
SliceCount countStackSlices(TIFF* handle, DirectoryAccess access = DirectoryAccess::automatic);

// Whether the first description of the file contains "ImageJ".
bool isImageJIm(const char* path);

// The image count behind the first "images=" of an ImageJ description (with
// strtol's rules), or 0 when there is none or the file cannot be read.
int64_t imageJImGetZ(const char* path);
