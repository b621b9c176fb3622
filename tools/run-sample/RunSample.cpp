// Does the main job once without a person at the screen, with the end-to-end
// driver: starts Parvane.exe in its working folder, answers the boxes of the
// start, makes sure the fields name the sample's folders, presses 一括変換,
// answers the boxes of the run, and leaves. Takes screenshots before and after
// the run (and of every box of the run) as BMP files, and tells each step on
// standard output. Used by scripts/run.sh when there is no display.
//
//   parvane_run_sample <Parvane.exe> <working folder> <input folder> <output folder> <screenshot folder>
//
// Exit code 0 when the run ended; the files are checked by the caller.
#include "Driver.h"
#include "resource.h"
#include <atomic>
#include <cstdio>
#include <thread>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

constexpr Duration kStartTimeout = 60s;
constexpr Duration kRunTimeout = 300s;

void Say(const std::wstring& text)
{
    // UTF-8, whatever the console's code page: the caller is a Linux terminal.
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::wstring OneLine(std::wstring text)
{
    for (wchar_t& c : text)
        if (c == L'\r' || c == L'\n')
            c = L' ';
    return text;
}

// Answers a box as a user who wants the job done: Yes to a question (the one
// question Parvane asks offers to create the missing output folder), else OK.
void AnswerBox(ParvaneProcess& parvane, const MessageBoxView& box, const fs::path& screenshot)
{
    Say(L"  box \"" + box.caption + L"\": " + OneLine(box.text));
    if (!screenshot.empty() && SaveScreenshot(box.hwnd, screenshot))
        Say(L"  screenshot of the box: " + screenshot.wstring());
    bool hasYes = false;
    for (int id : box.buttons)
        hasYes = hasYes || id == IDYES;
    parvane.Answer(box, hasYes ? IDYES : IDOK);
    Say(hasYes ? L"  answered: はい" : L"  answered: OK");
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 6) {
        Say(L"usage: parvane_run_sample <Parvane.exe> <working folder> <input folder> <output folder> <screenshot folder>");
        return 2;
    }
    const std::wstring exe = argv[1];
    const fs::path workingFolder = argv[2];
    const std::wstring input = argv[3];
    const std::wstring output = argv[4];
    const fs::path shots = argv[5];
    fs::create_directories(shots);

    // What Parvane and the batch file print goes to a file: it is in code page 932.
    ParvaneProcess parvane(workingFolder, shots / L"parvane-output.txt", {}, exe);
    if (!parvane.Started()) {
        Say(L"could not start " + exe);
        return 1;
    }
    Say(L"Parvane started (working folder " + workingFolder.wstring() + L")");

    // A box may come before the window: on a first start, param.ini cannot be read.
    HWND main = nullptr;
    bool started = WaitFor([&] {
        if ((main = parvane.WaitForMainWindow(0ms)) != nullptr)
            return true;
        MessageBoxView box = parvane.WaitForMessageBox(0ms);
        if (box.hwnd)
            AnswerBox(parvane, box, {});
        return false;
    }, kStartTimeout);
    if (!started) {
        Say(L"the window did not appear");
        return 1;
    }

    bool fieldsChanged = false;
    if (parvane.FieldText(IDC_EDIT_INPUT) != input || parvane.FieldText(IDC_EDIT_OUTPUT) != output) {
        Say(L"param.ini names other folders: the sample's folders are typed in for this run");
        parvane.SetControlText(IDC_EDIT_INPUT, input);
        parvane.SetControlText(IDC_EDIT_OUTPUT, output);
        fieldsChanged = true;
    }
    Say(L"入力フォルダ: " + parvane.FieldText(IDC_EDIT_INPUT));
    Say(L"出力フォルダ: " + parvane.FieldText(IDC_EDIT_OUTPUT));
    if (SaveScreenshot(main, shots / L"before.bmp"))
        Say(L"screenshot before the run: " + (shots / L"before.bmp").wstring());

    // The click is sent from a thread of its own, which returns when the
    // button's handler has returned; meanwhile this thread answers its boxes.
    Say(L"pressing 一括変換");
    std::atomic<bool> finished{ false };
    bool handled = false;
    std::thread clicker([&] {
        handled = parvane.ClickAndWait(IDC_BUTTON_CONVERT, kRunTimeout);
        finished = true;
    });
    int boxes = 0;
    while (!finished) {
        MessageBoxView box = parvane.WaitForMessageBox(200ms);
        if (box.hwnd && !finished)
            AnswerBox(parvane, box, shots / (L"box-" + std::to_wstring(++boxes) + L".bmp"));
    }
    clicker.join();
    if (!handled) {
        Say(L"the run did not end within " + std::to_wstring(kRunTimeout.count() / 1000) + L" s");
        return 1;
    }
    Say(boxes == 0 ? L"the run ended without a box" : L"the run ended");
    if (SaveScreenshot(main, shots / L"after.bmp"))
        Say(L"screenshot after the run: " + (shots / L"after.bmp").wstring());

    // Leaving with 終了 saves the fields to param.ini; when they were typed in
    // here, a close request leaves the user's param.ini as it was.
    if (fieldsChanged) {
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        Say(L"closed without saving: param.ini is left as it was");
    } else {
        parvane.Click(IDC_BUTTON_EXIT);
        Say(L"pressed 終了: param.ini is written");
    }
    bool exited = WaitFor([&] {
        if (!parvane.Running())
            return true;
        MessageBoxView box = parvane.WaitForMessageBox(0ms);
        if (box.hwnd)
            AnswerBox(parvane, box, {});
        return false;
    }, kStartTimeout);
    if (!exited) {
        Say(L"Parvane did not end");
        return 1;
    }
    return 0;
}
