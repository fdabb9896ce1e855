// Mesa's shader cache settings: put in place where the user left them unset, never overriding
// what the user chose, with the folder made beforehand.
#include "platform/gl/ShaderDiskCache.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/TempDir.h"

namespace quorvel::gl {
namespace {

const char* const CacheVariables[] = {"MESA_SHADER_CACHE_DISABLE", "MESA_GLSL_CACHE_DISABLE",
                                      "MESA_SHADER_CACHE_DIR", "MESA_GLSL_CACHE_DIR", "XDG_CACHE_HOME",
                                      "HOME"};

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "<unset>";
}

class ShaderDiskCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : CacheVariables) {
            saved_.emplace_back(name, std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt);
            unsetenv(name);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }
    testing::TempDir dir;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(ShaderDiskCacheTest, UnsetVariablesTurnTheCacheOnInOurOwnFolder) {
    setenv("XDG_CACHE_HOME", (dir.path() + "/xdg").c_str(), 1);
    setenv("HOME", (dir.path() + "/home").c_str(), 1);
    applyShaderDiskCacheSettings();
    EXPECT_EQ(env("MESA_SHADER_CACHE_DISABLE"), "false");
    EXPECT_EQ(env("MESA_SHADER_CACHE_DIR"), dir.path() + "/xdg/quorvel");
    // Mesa makes only the last level itself; everything above it must exist.
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() + "/xdg/quorvel"));
}

TEST_F(ShaderDiskCacheTest, WithoutXdgTheFolderIsUnderHomeAndARelativeXdgIsIgnored) {
    setenv("HOME", dir.path().c_str(), 1);
    setenv("XDG_CACHE_HOME", "relative/cache", 1);
    applyShaderDiskCacheSettings();
    EXPECT_EQ(env("MESA_SHADER_CACHE_DIR"), dir.path() + "/.cache/quorvel");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() + "/.cache/quorvel"));
}

TEST_F(ShaderDiskCacheTest, TheUsersOwnSettingsStayUnderEitherName) {
    setenv("HOME", dir.path().c_str(), 1);
    setenv("MESA_GLSL_CACHE_DISABLE", "true", 1);
    setenv("MESA_GLSL_CACHE_DIR", "/somewhere/else", 1);
    applyShaderDiskCacheSettings();
    EXPECT_EQ(env("MESA_SHADER_CACHE_DISABLE"), "<unset>");
    EXPECT_EQ(env("MESA_SHADER_CACHE_DIR"), "<unset>");

    unsetenv("MESA_GLSL_CACHE_DISABLE");
    unsetenv("MESA_GLSL_CACHE_DIR");
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    setenv("MESA_SHADER_CACHE_DIR", "/mine", 1);
    applyShaderDiskCacheSettings();
    EXPECT_EQ(env("MESA_SHADER_CACHE_DISABLE"), "true");
    EXPECT_EQ(env("MESA_SHADER_CACHE_DIR"), "/mine");
}

TEST_F(ShaderDiskCacheTest, AFolderThatCannotBeMadeLeavesMesasDefault) {
    const std::string blocker = dir.write("file", "not a folder");
    setenv("XDG_CACHE_HOME", blocker.c_str(), 1);
    applyShaderDiskCacheSettings();
    EXPECT_EQ(env("MESA_SHADER_CACHE_DIR"), "<unset>");
    EXPECT_EQ(env("MESA_SHADER_CACHE_DISABLE"), "false");
    // Without any home there is no folder to offer either.
    unsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(shaderCacheFolder(), "");
}

}  // namespace
}  // namespace quorvel::gl
