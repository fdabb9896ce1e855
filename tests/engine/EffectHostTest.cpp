// Loading plug-in libraries and creating effects by class name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/Win32.h"
#include "plugin/EffectHost.h"
#include "script/ScriptText.h"

namespace {

const std::string PluginDir = TEST_PLUGIN_DIR;

// Points the plug-in's log at calls; the plug-in stays loaded while the host holds it.
void attachLog(HMODULE library, std::vector<std::string>* calls) {
    using SetLog = void (*)(std::vector<std::string>*);
    auto setLog = reinterpret_cast<SetLog>(GetProcAddress(library, "SetRecordingLog"));
    ASSERT_NE(setLog, nullptr);
    setLog(calls);
}

}  // namespace

TEST(EffectHost, CreatesByExactClassNameInLoadOrder) {
    EffectHost host;
    ASSERT_EQ(host.LoadPlugin((PluginDir + "/test_effects_a.so").c_str()), S_OK);
    ASSERT_EQ(host.LoadPlugin((PluginDir + "/test_effects_b.so").c_str()), S_OK);
    ASSERT_EQ(host.LoadPlugin((PluginDir + "/test_effects_other.so").c_str()), S_OK);
    ASSERT_EQ(host.libraries.size(), 3u);
    ASSERT_EQ(host.descriptors.size(), 3u);

    std::vector<std::string> calls;
    for (HMODULE library : host.libraries) attachLog(library, &calls);

    ScriptText params;
    params.appendToken("x");
    Effect* first = host.CreateEffect("recorder");  // both A and B offer it: A was loaded first
    ASSERT_NE(first, nullptr);
    first->ParseParams(&params);
    Effect* other = host.CreateEffect("other");
    ASSERT_NE(other, nullptr);
    other->ParseParams(&params);
    EXPECT_EQ(host.CreateEffect("Recorder"), nullptr);  // case-sensitive
    EXPECT_EQ(host.CreateEffect("record"), nullptr);
    EXPECT_EQ(host.CreateEffect(""), nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"A0:ParseParams(x)", "O0:ParseParams(x)"}));

    first->Shutdown();
    other->Shutdown();
    host.FreePlugins();
    EXPECT_TRUE(host.libraries.empty());
    EXPECT_EQ(host.CreateEffect("recorder"), nullptr);
}

TEST(EffectHost, WindowsNamesFindTheSharedLibrary) {
    EffectHost host;
    EXPECT_EQ(host.LoadPlugin((PluginDir + "/test_effects_a.dll").c_str()), S_OK);
    EXPECT_EQ(host.LoadPlugin((PluginDir + "/test_effects_b").c_str()), S_OK);
    // A bare name is looked for next to the program (the test binary sits beside the plug-ins).
    EXPECT_EQ(host.LoadPlugin("test_effects_other.dll"), S_OK);
    EXPECT_EQ(host.libraries.size(), 3u);
    host.FreePlugins();
}

TEST(EffectHost, LibrariesWithoutADescriptorAreNotLoaded) {
    EffectHost host;
    EXPECT_EQ(host.LoadPlugin((PluginDir + "/test_no_export.so").c_str()), E_FAIL);
    EXPECT_EQ(host.LoadPlugin((PluginDir + "/test_null_desc.so").c_str()), E_FAIL);
    EXPECT_EQ(host.LoadPlugin((PluginDir + "/missing.so").c_str()), E_FAIL);
    EXPECT_EQ(host.LoadPlugin("no_such_plugin_anywhere"), E_FAIL);
    EXPECT_EQ(host.LoadPlugin(""), E_FAIL);
    EXPECT_TRUE(host.libraries.empty());
    EXPECT_TRUE(host.descriptors.empty());
}
