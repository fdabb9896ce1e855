// The built flat libraries as the engine loads them: each exports only GetClassDesc, offers its
// one class, and makes instances that read their parameters and finish themselves.
#include <dlfcn.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FlatTesting.h"
#include "plugin/Effect.h"

namespace {

struct Library {
    const char* path;
    const char* className;
    const char* goodParams;
};

std::vector<std::string> exportedNames(const std::string& path) {
    std::vector<std::string> names;
    std::FILE* pipe = popen(("nm -D --defined-only --format=posix '" + path + "'").c_str(), "r");
    if (pipe == nullptr) return names;
    char line[1024];
    while (std::fgets(line, sizeof(line), pipe)) {
        std::string text(line);
        names.push_back(text.substr(0, text.find(' ')));
    }
    pclose(pipe);
    return names;
}

class FlatLibrary : public ::testing::TestWithParam<Library> {};

}  // namespace

TEST_P(FlatLibrary, ExportsOneEntryAndOffersItsClass) {
    const Library& lib = GetParam();
    EXPECT_EQ(exportedNames(lib.path), std::vector<std::string>{"GetClassDesc"});

    void* handle = dlopen(lib.path, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    auto entry = reinterpret_cast<GetClassDescFunction>(dlsym(handle, GetClassDescExportName));
    ASSERT_NE(entry, nullptr);
    EffectClassDesc* desc = entry();
    ASSERT_NE(desc, nullptr);
    EXPECT_EQ(entry(), desc);
    EXPECT_STREQ(desc->ClassName(), lib.className);

    Effect* good = desc->CreateEffect();
    Effect* bad = desc->CreateEffect();
    ASSERT_NE(good, nullptr);
    ASSERT_NE(bad, nullptr);
    EXPECT_NE(good, bad);
    auto goodText = flattest::paramText(lib.goodParams);
    auto badText = flattest::paramText("time 0.000000 { nonsense }");
    EXPECT_EQ(good->ParseParams(goodText.get()), 0);
    EXPECT_EQ(bad->ParseParams(badText.get()), E_FAIL);
    EXPECT_EQ(good->Shutdown(), 0);
    EXPECT_EQ(bad->Shutdown(), 0);
    dlclose(handle);
}

INSTANTIATE_TEST_SUITE_P(
    Built, FlatLibrary,
    ::testing::Values(Library{FLATPICTURE_LIBRARY, "picture", "time 0.000000 { image a.png fullscreen }"},
                      Library{FLATFADE_LIBRARY, "fade", "time 0.000000 { colour 4278190080 alpha 0 }"},
                      Library{FLATTEXT_LIBRARY, "text", "time 0.000000 { text hello | world }"}),
    [](const auto& info) { return std::string(info.param.className); });
