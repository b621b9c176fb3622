// Benchmark, disabled in the test run; scripts/bench.sh runs it: the headers
// read before a run and the outputs checked after it, for the folders named
// by PARVANE_BENCH_FOLDER (in/ with the inputs, out/ with whole outputs of
// the same names).
#include "check/AfterRunCheck.h"
#include "check/RoomCheck.h"
#include "gather/Gathering.h"
#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

template <typename Work>
double Seconds(Work work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST(Benchmark, DISABLED_HeadersBeforeAndOutputChecksAfterARun)
{
    const wchar_t* folder = _wgetenv(L"PARVANE_BENCH_FOLDER");
    if (!folder)
        GTEST_SKIP() << "PARVANE_BENCH_FOLDER names no folder";
    const CString in = CString(folder) + L"\\in\\", out = CString(folder) + L"\\out\\";
    std::optional<ConversionScript> gathered;
    const double gathering = Seconds([&] { gathered.emplace(GatherConversionScript(in, out)); });
    ConversionScript& script = *gathered;
    DiskSpace space;
    std::optional<RunBaseline> recorded;
    const double headers = Seconds([&] {
        recorded.emplace(script, in.Str());
        space = MeasureDiskSpace(*recorded, out);
    });
    // The baseline is taken with out/ moved aside and an empty one in its
    // place, so that every output counts as written during the run.
    const std::wstring outFolder = std::wstring(folder) + L"\\out", aside = outFolder + L"-aside";
    ASSERT_TRUE(::MoveFileW(outFolder.c_str(), aside.c_str()));
    ::CreateDirectoryW(outFolder.c_str(), nullptr);
    std::optional<RunBaseline> baseline;
    const double recording = Seconds([&] { baseline.emplace(script, in.Str()); });
    ::RemoveDirectoryW(outFolder.c_str());
    ASSERT_TRUE(::MoveFileW(aside.c_str(), outFolder.c_str()));
    const double checks = Seconds([&] { MarkFilesNotConverted(script, in, *baseline); });
    const size_t files = script.FilesWithLine().size();
    std::printf("%zu files: gathering %.3f s, headers and outputs before the run %.3f s (%.1f us a file), "
                "the same with an empty output folder %.3f s, "
                "output checks after it %.3f s (%.1f us a file); room needed %llu bytes\n",
                files, gathering, headers, headers * 1e6 / files, recording, checks, checks * 1e6 / files,
                static_cast<unsigned long long>(space.needed));
    EXPECT_GT(files, 0u);
    EXPECT_TRUE(script.Skipped().empty()) << "every output in out/ is whole";
}
