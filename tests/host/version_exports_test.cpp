// Each module states the API it was built for through its version export,
// and the modules that carry none export none.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>


namespace {

using RequiredApiVersion = void (*)(unsigned int*, unsigned int*);

struct Expected {
    const char* module;
    bool exported;
    unsigned int built_by;
    unsigned int target;
};

constexpr unsigned int kApi730 = 0x7300000;

}  // namespace

TEST(VersionExports, EveryModuleStatesItsApi) {
    const Expected modules[] = {
        {"thin_volume", false, 0, 0},
        {"normality_check", true, 131483, 0},
        {"tiff_stack_dims", true, 131626, kApi730},
        {"gauss3_eval", true, 131483, kApi730},
        {"gauss3_eval_approx", true, 131483, kApi730},
        {"accum_derivs3", true, 131483, kApi730},
        {"pair_blocks3", true, 131483, kApi730},
        {"pairwise_offsets", false, 0, 0},
        {"fill_nan", true, 131610, kApi730},
    };
    for (const Expected& expected : modules) {
        SCOPED_TRACE(expected.module);
        const std::string path = std::string(MEX_MODULE_DIR) + "/" + expected.module + ".mexa64";
        // Kept loaded, as a host keeps its modules: unloading one would orphan
        // what its runtime libraries allocated when it was loaded.
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        EXPECT_EQ(dlsym(handle, "mexVersion"), nullptr);
        auto version = reinterpret_cast<RequiredApiVersion>(dlsym(handle, "mexfilerequiredapiversion"));
        EXPECT_EQ(version != nullptr, expected.exported);
        if (version != nullptr) {
            unsigned int built_by = 0;
            unsigned int target = 1;
            version(&built_by, &target);
            EXPECT_EQ(built_by, expected.built_by);
            EXPECT_EQ(target, expected.target);
        }
    }
}
