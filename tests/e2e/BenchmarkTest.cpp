// Time of a 200-file folder through the batch-convert button, against running
// the same uncompress.bat directly with the interpreter. Disabled in the test
// run; scripts/bench.sh runs it.
#include "Driver.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <cstdio>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Runs the batch file with the interpreter, as a user would from a console.
bool RunBatchDirectly(const fs::path& work)
{
    std::wstring commandLine = L"cmd.exe /s /c \"\"" + (work / L"uncompress.bat").wstring() + L"\"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, work.c_str(), &startup, &info))
        return false;
    ::WaitForSingleObject(info.hProcess, INFINITE);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return true;
}

TEST(Benchmark, DISABLED_TwoHundredFilesThroughTheButtonAndDirectly)
{
    const int files = 200;
    fs::path work = MakeScratchFolder(L"Benchmark");
    fs::copy_file(DcmdjpegExe(), work / L"dcmdjpeg.exe");
    WriteFileBytes(work / L"param.ini", "[INPUT]\r\n[OUTPUT]\r\n");
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    fs::create_directories(in);
    for (int i = 0; i < files; ++i)
        fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", in / (L"image" + std::to_wstring(i) + L".dcm"));

    for (int round = 1; round <= 2; ++round) {
        fs::remove_all(out);
        fs::create_directories(out);
        ParvaneProcess parvane(work);
        ASSERT_NE(parvane.WaitForMainWindow(), nullptr);
        parvane.SetControlText(IDC_EDIT_INPUT, in.wstring());
        parvane.SetControlText(IDC_EDIT_OUTPUT, out.wstring());
        auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(parvane.ClickAndWait(IDC_BUTTON_CONVERT, 30min));
        double button = Seconds(start);
        size_t converted = std::distance(fs::directory_iterator(out), fs::directory_iterator());

        fs::remove_all(out);
        fs::create_directories(out);
        start = std::chrono::steady_clock::now();
        ASSERT_TRUE(RunBatchDirectly(work));
        double direct = Seconds(start);
        size_t convertedDirectly = std::distance(fs::directory_iterator(out), fs::directory_iterator());

        std::printf("round %d: %d files: button %.1f s (%zu written), interpreter directly %.1f s (%zu written)\n",
                    round, files, button, converted, direct, convertedDirectly);
        EXPECT_EQ(converted, static_cast<size_t>(files));
        EXPECT_EQ(convertedDirectly, static_cast<size_t>(files));
    }
}

}  // namespace
