#pragma once
// A suite of native tests on files that tools (dcmtk, ImageMagick) make once,
// at the start of the suite, in a scratch folder removed at its end. The
// suite is skipped when a tool is missing, and fails when the files could
// not be made.
#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <unistd.h>

// Suite is the fixture that derives from this, so that each suite has a
// folder of its own.
template <typename Suite>
class ScratchFolderSuite : public testing::Test {
protected:
    // Makes the folder when every tool is on the PATH; false, with no
    // folder, when one is missing.
    static bool StartFolder(const std::string& name, std::initializer_list<const char*> tools)
    {
        std::string check = "true";
        for (const char* tool : tools)
            check += std::string(" && command -v ") + tool;
        if (std::system(("{ " + check + "; } >/dev/null 2>&1").c_str()) != 0)
            return false;
        s_folder = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid()));
        std::filesystem::create_directories(s_folder);
        return true;
    }

    static void TearDownTestSuite()
    {
        if (!s_folder.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(s_folder, ignored);
            s_folder.clear();
        }
    }

    void SetUp() override
    {
        if (s_folder.empty())
            GTEST_SKIP() << "a tool the suite runs is not installed";
        ASSERT_TRUE(s_made) << "the files could not be made in " << s_folder;
    }

    static inline std::filesystem::path s_folder;
    static inline bool s_made = false;
};
