// What a look-up of an output tells after a run: only "not found" means
// absent; any other failure leaves the state unknown, never "not written".
#include "FileBytes.h"
#include "run/RunBaseline.h"
#include <gtest/gtest.h>
#include <filesystem>

namespace fs = std::filesystem;

TEST(FileState, OnlyNotFoundMeansAbsent)
{
    const fs::path root = fs::temp_directory_path() / L"parvane-win-tests" / L"file-state";
    fs::remove_all(root);
    fs::create_directories(root);
    WriteFileBytes(root / L"here.dcm", "0123456789");
    const struct Case {
        const char* what;
        std::wstring path;
        bool lookedUp, exists;
    } cases[] = {
        { "a file", (root / L"here.dcm").wstring(), true, true },
        { "not found", (root / L"gone.dcm").wstring(), true, false },
        { "its folder not found", (root / L"gone" / L"x.dcm").wstring(), true, false },
        { "a look-up that fails otherwise", (root / L"bad?name.dcm").wstring(), false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const FileState state = CurrentFileState(c.path);
        EXPECT_EQ(state.lookedUp, c.lookedUp);
        EXPECT_EQ(state.exists, c.exists);
    }
    EXPECT_EQ(CurrentFileState((root / L"here.dcm").wstring()).size, 10u);
}
