// tiffstack_fixture FOLDER [PAGES ...]: writes FOLDER/stack_<PAGES>.tif, a
// TIFF of PAGES one-pixel pages, for each count (default 100 10000 70000),
// skipping files that already exist. The stack benchmark and its Python
// peer (bench/peers/tiffstack.py) read these files.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "tiff_fixtures.hpp"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [PAGES ...]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    try {
        std::filesystem::create_directories(folder);
        const char* defaults[] = {"100", "10000", "70000"};
        const int given = argc - 2;
        for (int i = 0; i < (given > 0 ? given : 3); ++i) {
            const char* text = given > 0 ? argv[2 + i] : defaults[i];
            const auto pages = static_cast<uint32_t>(std::strtoul(text, nullptr, 10));
            const std::string path = folder + "/stack_" + std::to_string(pages) + ".tif";
            if (!std::filesystem::exists(path)) tiff_fixtures::write(path, tiff_fixtures::Stack{pages});
            std::printf("%s\n", path.c_str());
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tiffstack_fixture: %s\n", error.what());
        return 1;
    }
    return 0;
}
