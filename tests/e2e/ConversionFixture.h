#pragma once
// The start every converting end-to-end test shares: a scratch working folder
// named for the test, holding the real dcmdjpeg.exe and a param.ini of empty
// folders, and Parvane started there with both fields filled.
#include "Driver.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <filesystem>
#include <memory>

namespace e2e {

class ConversionFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::filesystem::path test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        work = MakeScratchFolder(test.wstring());
        std::filesystem::copy_file(DcmdjpegExe(), work / L"dcmdjpeg.exe");
        WriteFileBytes(work / L"param.ini", "[INPUT]\r\n[OUTPUT]\r\n");
    }

    // Starts Parvane with both fields filled; the caller clicks.
    void Start(const std::filesystem::path& input, const std::filesystem::path& output)
    {
        parvane = std::make_unique<ParvaneProcess>(work);
        ASSERT_NE(parvane->WaitForMainWindow(), nullptr);
        parvane->SetControlText(IDC_EDIT_INPUT, input.wstring());
        parvane->SetControlText(IDC_EDIT_OUTPUT, output.wstring());
    }

    std::filesystem::path work;
    std::unique_ptr<ParvaneProcess> parvane;
};

}  // namespace e2e
