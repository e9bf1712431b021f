#include "stack_geometry.hpp"

#include <gtest/gtest.h>
#include <tiffio.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "module_test.hpp"
#include "tiff_fixtures.hpp"

using mexhost::Array;
using tiff_fixtures::Stack;
using tiff_fixtures::TempDir;

namespace {

const mexhost::Module& module() {
    static const mexhost::Module m = load_module("tiff_stack_dims");
    return m;
}

// Open descriptors and memory maps of the file in this process.
int handlesOn(const std::string& path) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == path) ++count;
    }
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.find(path) != std::string::npos) ++count;
    }
    return count;
}

// Sets HOME for one test and puts the old value back.
class ScopedHome {
public:
    explicit ScopedHome(const std::string& home) {
        if (const char* old = std::getenv("HOME")) saved_ = old, had_ = true;
        setenv("HOME", home.c_str(), 1);
    }
    ~ScopedHome() {
        if (had_) {
            setenv("HOME", saved_.c_str(), 1);
        } else {
            unsetenv("HOME");
        }
    }

private:
    std::string saved_;
    bool had_ = false;
};

SliceCount countFile(const std::string& path, DirectoryAccess access) {
    const TiffHandle handle = openStackFile(path.c_str());
    if (!handle) throw std::runtime_error("cannot open " + path);
    return countStackSlices(handle.get(), access);
}

StackGeometry probeFile(const std::string& path) {
    TiffHandle handle = openStackFile(path.c_str());
    if (!handle) throw std::runtime_error("cannot open " + path);
    return readStackGeometry(std::move(handle), path.c_str());
}

// Points the link of directory `from` (of a little-endian classic file) at
// a byte offset.
void relink(const std::string& path, tdir_t from, uint32_t target) {
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    ASSERT_TRUE(TIFFSetDirectory(tiff, from));
    const uint64_t at = TIFFCurrentDirOffset(tiff);
    TIFFClose(tiff);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    unsigned char count[2];
    file.seekg(static_cast<std::streamoff>(at));
    file.read(reinterpret_cast<char*>(count), 2);
    const uint64_t link = at + 2 + 12 * (count[0] | count[1] << 8);
    const unsigned char bytes[4] = {static_cast<unsigned char>(target), static_cast<unsigned char>(target >> 8),
                                    static_cast<unsigned char>(target >> 16), static_cast<unsigned char>(target >> 24)};
    file.seekp(static_cast<std::streamoff>(link));
    file.write(reinterpret_cast<const char*>(bytes), 4);
    ASSERT_TRUE(file.good());
}

uint32_t directoryOffset(const std::string& path, tdir_t index) {
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    TIFFSetDirectory(tiff, index);
    const auto offset = static_cast<uint32_t>(TIFFCurrentDirOffset(tiff));
    TIFFClose(tiff);
    return offset;
}

int messagesSeen = 0;
void countMessage(const char*, const char*, va_list) { ++messagesSeen; }
void countMessageExt(thandle_t, const char*, const char*, va_list) { ++messagesSeen; }

constexpr DirectoryAccess kAccesses[] = {DirectoryAccess::automatic, DirectoryAccess::mapped, DirectoryAccess::reads};

}  // namespace

TEST(SliceSearch, CountsExactlyWithinTwentyOneProbes) {
    const uint32_t counts[] = {1,    2,    7,    8,     9,     63,    64,    65,    100,   511,   512,  513,
                               4095, 4096, 4097, 32767, 32768, 32769, 40000, 65535, 65536, 65537, 70000};
    for (const uint32_t n : counts) {
        SCOPED_TRACE(n);
        int probes = 0;
        const SliceCount count = searchSliceCount([&](uint32_t index) {
            ++probes;
            return index < n;
        });
        EXPECT_EQ(count.slices, std::min<uint32_t>(n, 65536));
        EXPECT_EQ(count.manySlices, n > 32768);
        EXPECT_LE(probes, 21);
    }
}

TEST(SliceSearch, NineDirectoriesAreProbedGrowingThenHalving) {
    const TempDir dir;
    const std::string path = dir.stack("nine.tif", Stack{9});
    const TiffHandle handle = openStackFile(path.c_str());
    ASSERT_TRUE(handle);
    DirectoryChain chain(handle.get());
    std::vector<uint32_t> probes;
    const SliceCount count = searchSliceCount([&](uint32_t index) {
        probes.push_back(index);
        return chain.exists(index);
    });
    EXPECT_EQ(probes, (std::vector<uint32_t>{1, 8, 64, 36, 22, 15, 11, 9}));
    EXPECT_EQ(count.slices, 9u);
    EXPECT_FALSE(count.manySlices);
}

TEST(DirectoryCount, SmallStacksInEveryLayoutAndAccess) {
    const TempDir dir;
    const char* modes[] = {"w", "wb", "w8", "w8b"};  // classic and BigTIFF, each byte order
    for (const char* mode : modes) {
        for (const uint32_t pages : {1u, 2u, 8u, 9u, 64u, 65u, 100u}) {
            Stack stack{pages};
            stack.mode = mode;
            const std::string path = dir.stack(std::string(mode) + "_" + std::to_string(pages) + ".tif", stack);
            for (const DirectoryAccess access : kAccesses) {
                SCOPED_TRACE(path + " access " + std::to_string(static_cast<int>(access)));
                const SliceCount count = countFile(path, access);
                EXPECT_EQ(count.slices, pages);
                EXPECT_FALSE(count.manySlices);
            }
        }
    }
}

// The big file is written once here and serves the core and the gateway;
// the smaller ones are copies of it with the chain cut short.
TEST(DirectoryCount, LargeStacksStopAt65536AndAnnounceThemselves) {
    const TempDir dir;
    const std::string full = dir.stack("70000.tif", Stack{70000});
    const auto cutAfter = [&](uint32_t pages) {
        const std::string path = dir.file(std::to_string(pages) + ".tif");
        std::filesystem::copy_file(full, path);
        relink(path, static_cast<tdir_t>(pages - 1), 0);
        return path;
    };
    struct Case {
        std::string path;
        uint64_t slices;
        bool many;
    } cases[] = {{cutAfter(32768), 32768, false}, {cutAfter(32769), 32769, true}, {full, 65536, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        for (const DirectoryAccess access : kAccesses) {
            const SliceCount count = countFile(c.path, access);
            EXPECT_EQ(count.slices, c.slices);
            EXPECT_EQ(count.manySlices, c.many);
        }
        const auto result = module().call(1, {Array::char_row(c.path)});
        const auto& outputs = expect_success(result);
        ASSERT_EQ(outputs.size(), 1u);
        EXPECT_EQ(outputs[0].values(), (std::vector<double>{1, 1, static_cast<double>(c.slices)}));
        EXPECT_EQ(result.printed, c.many ? "Number of slices > 32768\n" : "");
    }
}

TEST(DirectoryChain, LoopsAndBrokenLinksEndTheChain) {
    const TempDir dir;
    const std::string original = dir.stack("five.tif", Stack{5});
    const auto copy = [&](const std::string& name) {
        const std::string path = dir.file(name);
        std::filesystem::copy_file(original, path);
        return path;
    };
    const std::string loopBack = copy("loop_back.tif");  // 4 -> 2: five distinct directories
    relink(loopBack, 4, directoryOffset(loopBack, 2));
    const std::string loopToFirst = copy("loop_first.tif");  // 2 -> 0
    relink(loopToFirst, 2, directoryOffset(loopToFirst, 0));
    const std::string selfLoop = copy("self.tif");  // 3 -> 3
    relink(selfLoop, 3, directoryOffset(selfLoop, 3));
    const std::string outside = copy("outside.tif");  // 1 -> beyond the end of the file
    relink(outside, 1, static_cast<uint32_t>(std::filesystem::file_size(outside) + 100));
    const std::string tail = copy("tail.tif");  // 3 -> too close to the end to hold a count
    relink(tail, 3, static_cast<uint32_t>(std::filesystem::file_size(tail) - 1));
    struct Case {
        std::string path;
        uint64_t slices;
    } cases[] = {{loopBack, 5}, {loopToFirst, 3}, {selfLoop, 4}, {outside, 2}, {tail, 4}};
    for (const Case& c : cases) {
        for (const DirectoryAccess access : kAccesses) {
            SCOPED_TRACE(c.path);
            EXPECT_EQ(countFile(c.path, access).slices, c.slices);
        }
    }
}

TEST(StackGeometry, SizesComeFromTheFirstDirectory) {
    const TempDir dir;
    Stack page{1, 640, 480};
    const StackGeometry one = probeFile(dir.stack("page.tif", page));
    EXPECT_EQ(one.height, 480u);
    EXPECT_EQ(one.width, 640u);
    EXPECT_EQ(one.slices, 1u);
    EXPECT_FALSE(one.manySlices);
    Stack stack{3, 7, 5};
    stack.mode = "w8b";
    const StackGeometry three = probeFile(dir.stack("stack.tif", stack));
    EXPECT_EQ(three.height, 5u);
    EXPECT_EQ(three.width, 7u);
    EXPECT_EQ(three.slices, 3u);
}

TEST(StackGeometry, OnlyAPositiveImageJCountReplacesTheDirectoryCount) {
    const TempDir dir;
    struct Case {
        const char* description;
        uint64_t slices;
        int64_t images;  // what imageJImGetZ reads
    } cases[] = {
        {"ImageJ=1.54f\nimages=120\nslices=120\nloop=false\n", 120, 120},
        {"ImageJ=1.54f\nimages=0\n", 3, 0},
        {"images=120\n", 3, 0},                     // not written by ImageJ
        {"ImageJ=1.54f\nimages=-5\n", 3, -5},       // no count, not a huge one
        {"ImageJ=1.54f\nslices=7\n", 3, 0},         // no image count at all
        {"ImageJ\nimages= \t42 frames\n", 42, 42},  // strtol skips blanks, stops at the first non-digit
        {"ImageJ\nimages=x12\n", 3, 0},
        {"imagej images=9", 3, 0},  // the mark is case-sensitive
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        Stack stack{3};
        stack.description = c.description;
        const std::string path = dir.stack("imagej" + std::to_string(index++) + ".tif", stack);
        EXPECT_EQ(imageJImGetZ(path.c_str()), c.images);
        EXPECT_EQ(probeFile(path).slices, c.slices);
        EXPECT_EQ(handlesOn(path), 0);
    }
    const std::string plain = dir.stack("plain.tif", Stack{3});
    EXPECT_FALSE(isImageJIm(plain.c_str()));
    EXPECT_EQ(probeFile(plain).slices, 3u);
    EXPECT_FALSE(isImageJIm(dir.file("missing.tif").c_str()));
    EXPECT_EQ(imageJImGetZ(dir.file("missing.tif").c_str()), 0);
}

// The handlers in place stand for a host library's own: they must not run
// during a call, and must be back in place after it.
TEST(StackGeometry, LibtiffMessagesAreSilencedForTheCallOnly) {
    const TempDir dir;
    Stack stack{2};
    stack.privateTag = true;
    const std::string path = dir.stack("private.tif", stack);
    const std::string missing = dir.file("missing.tif");
    const TIFFErrorHandler warning = TIFFSetWarningHandler(countMessage);
    const TIFFErrorHandler error = TIFFSetErrorHandler(countMessage);
    const TIFFErrorHandlerExt warningExt = TIFFSetWarningHandlerExt(countMessageExt);
    const TIFFErrorHandlerExt errorExt = TIFFSetErrorHandlerExt(countMessageExt);
    messagesSeen = 0;
    EXPECT_EQ(probeFile(path).slices, 2u);
    EXPECT_FALSE(openStackFile(missing.c_str()));
    EXPECT_FALSE(isImageJIm(missing.c_str()));
    EXPECT_FALSE(module().call(1, {Array::char_row(path)}).failed);
    EXPECT_TRUE(module().call(1, {Array::char_row(path), Array::scalar(1)}).failed);
    EXPECT_TRUE(module().call(1, {Array::char_row(missing)}).failed);
    EXPECT_EQ(messagesSeen, 0);
    // Outside the calls the file does warn and the missing one does fail.
    TIFFClose(TIFFOpen(path.c_str(), "r"));
    EXPECT_EQ(messagesSeen, 2);
    EXPECT_EQ(TIFFOpen(missing.c_str(), "r"), nullptr);
    EXPECT_EQ(messagesSeen, 4);
    EXPECT_EQ(TIFFSetErrorHandlerExt(errorExt), countMessageExt);
    EXPECT_EQ(TIFFSetWarningHandlerExt(warningExt), countMessageExt);
    EXPECT_EQ(TIFFSetErrorHandler(error), countMessage);
    EXPECT_EQ(TIFFSetWarningHandler(warning), countMessage);
}

TEST(ExpandTilde, ExpandsLikeTheShellButRunsNothing) {
    const TempDir home;
    const ScopedHome scoped(home.path());
    const std::string marker = home.file("marker");
    struct Case {
        std::string text;
        std::string expanded;
    } cases[] = {
        {"~/stack.tif", home.path() + "/stack.tif"},
        {"~", home.path()},
        {"~/two words.tif", home.path() + "/two"},  // the first word only
        {"~/'two words.tif'", home.path() + "/two words.tif"},
        {"'~/quoted.tif'", "~/quoted.tif"},
        {"~/$((6*7)).tif", home.path() + "/42.tif"},
    };
    for (const Case& c : cases) EXPECT_EQ(expandTilde(c.text), c.expanded) << c.text;

    const struct {
        std::string text;
        const char* problem;
    } failures[] = {
        {"~/$(touch " + marker + ")", "command substitution is not allowed"},
        {"~/`touch " + marker + "`", "command substitution is not allowed"},
        {"~/a;touch " + marker, "outside quotes"},
        {"~/'unclosed", "not valid shell syntax"},
        {"$TIFFSTACK_TEST_UNSET_VARIABLE", "expands to no file name"},
    };
    for (const auto& f : failures) {
        try {
            expandTilde(f.text);
            ADD_FAILURE() << "no error for " << f.text;
        } catch (const StackPathError& error) {
            const std::string message = error.what();
            EXPECT_EQ(message.rfind("Path \"" + f.text + "\"", 0), 0u) << message;
            EXPECT_NE(message.find(f.problem), std::string::npos) << message;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST(TiffStackDimsGateway, StringObjectAndCharRowGiveTheSameResult) {
    const TempDir dir;
    const std::string path = dir.stack("page.tif", Stack{4, 640, 480});
    const size_t before = mexhost::live_allocations();
    for (const Array& input : {Array::char_row(path), Array::string_object(path)}) {
        for (const int nlhs : {0, 1, 2}) {  // slot 0 is filled whatever was asked for
            const auto result = module().call(nlhs, {input});
            const auto& outputs = expect_success(result);
            ASSERT_GE(outputs.size(), 1u);
            EXPECT_EQ(outputs[0].class_id(), mxDOUBLE_CLASS);
            EXPECT_EQ(outputs[0].dims(), (std::vector<size_t>{1, 3}));
            EXPECT_EQ(outputs[0].values(), (std::vector<double>{480, 640, 4}));
            EXPECT_EQ(result.printed, "");
        }
    }
    EXPECT_EQ(mexhost::live_allocations(), before);
    EXPECT_EQ(handlesOn(path), 0);
}

TEST(TiffStackDimsGateway, TildePathOpensTheFileInHome) {
    const TempDir home;
    const ScopedHome scoped(home.path());
    home.stack("stack.tif", Stack{9, 3, 2});
    const auto result = module().call(1, {Array::char_row("~/stack.tif")});
    EXPECT_EQ(expect_success(result).at(0).values(), (std::vector<double>{2, 3, 9}));
}

TEST(TiffStackDimsGateway, InputErrors) {
    const TempDir home;
    const ScopedHome scoped(home.path());
    const std::string readable = home.stack("stack.tif", Stack{2});
    const std::string missing = home.file("missing.tif");
    const std::string marker = home.file("marker");
    const Array readableText = Array::char_row(readable);
    const char* count = "Function only accepts one input argument";
    const char* type = "The first argument must be a string";
    const char* id = "tiff:inputError";
    expect_errors(
        module(),
        {
            {1, {}, id, count},
            {1, {Array::scalar(1)}, id, type},
            {1, {Array::cell(1, 1)}, id, type},
            {1, {Array::scalar(1), readableText}, id, type},  // the type is checked before the count
            {1, {readableText, Array::scalar(1)}, id, count},
            {1, {readableText, readableText, readableText}, id, count},
            {1, {Array::char_row(missing), Array::scalar(1)}, id, "File \"" + missing + "\" cannot be opened"},
            {1, {Array::char_row(missing)}, id, "File \"" + missing + "\" cannot be opened"},
            {1, {Array::char_row("~/missing.tif")}, id, "File \"" + missing + "\" cannot be opened"},
            {1, {Array::char_row("~/x.tif other words")}, id, "File \"" + home.file("x.tif") + "\" cannot be opened"},
            {1, {Array::char_row("")}, id, "File \"\" cannot be opened"},
            {1,
             {Array::char_row("~/$(touch " + marker + ")")},
             id,
             "Path \"~/$(touch " + marker + ")\" cannot be expanded: command substitution is not allowed"},
        });
    // A handle left open by any failed call would still be open here.
    EXPECT_EQ(handlesOn(readable), 0);
    EXPECT_FALSE(std::filesystem::exists(marker));
}
