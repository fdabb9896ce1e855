// Fixtures of the engine tests that start the engine on a show: each test runs inside a fresh
// show folder and collects the message boxes; RecordingShowTest also loads the recording plug-in
// and attaches its log of effect calls.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "engine/DemoEngine.h"
#include "platform/win/Win32.h"
#include "support/CapturedReports.h"
#include "support/TempDir.h"

namespace quorvel::testing {

// The recording plug-in: its effects append each call they receive to the attached log.
inline const std::string PluginA = std::string(TEST_PLUGIN_DIR) + "/test_effects_a.so";

// The engine without its setup dialog, with the shell's clean-up open to the test.
class EngineWithoutDialog : public DemoEngine {
public:
    // Test plug-ins are named by absolute path: libraries that load only for a trusted show.
    EngineWithoutDialog() {
        showSetupDialog = FALSE;
        trustShow = true;
    }
    using AppShell::cleanup;
};

class ShowFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char buffer[4096];
        ASSERT_NE(getcwd(buffer, sizeof(buffer)), nullptr);
        previousDir_ = buffer;
        ASSERT_EQ(chdir(show_.path().c_str()), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(previousDir_.c_str()), 0); }

    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : reports.boxes) texts.push_back(box.text);
        return texts;
    }

    CapturedReports reports;
    TempDir show_;

private:
    std::string previousDir_;
};

class RecordingShowTest : public ShowFolderTest {
protected:
    void SetUp() override {
        ShowFolderTest::SetUp();
        library_ = LoadLibraryA(PluginA.c_str());
        ASSERT_NE(library_, nullptr);
        setLog(&calls);
    }
    void TearDown() override {
        if (library_) {
            setLog(nullptr);
            FreeLibrary(library_);
        }
        ShowFolderTest::TearDown();
    }

    void setLog(std::vector<std::string>* log) {
        using SetLog = void (*)(std::vector<std::string>*);
        reinterpret_cast<SetLog>(GetProcAddress(library_, "SetRecordingLog"))(log);
    }

    std::vector<std::string> calls;

private:
    HMODULE library_ = nullptr;
};

}  // namespace quorvel::testing
