#pragma once
#include "afx/afx.h"
#include "res/resource.h"

struct ConvertMessage;
struct GatheredInput;
enum class Subfolders;
class RunBaseline;
class RunWindow;
struct DiskSpace;

// The main dialog: two folder fields, two browse buttons, the batch-convert
// button and the exit button. Its members are defined in:
//   ParvaneDlg.cpp     construction, OnCommand, data exchange, OnInitDialog, OnPaint,
//                      OnQueryDragIcon, OnBnClickedExit
//   KeyFilter.cpp      PreTranslateMessage
//   FolderPicker.cpp   OnBnClickedBrowseInput, OnBnClickedBrowseOutput, BrowseForFolder
//   ConvertButton.cpp  OnBnClickedConvert, RunConversionScript and their helpers
//   UnfinishedRunReport.cpp  OnReportUnfinishedRun, ReportUnfinishedRun
// The dialog during a run: RunningState.h, RunWindow.h.
// LoadSettings and SaveSettings (DialogSettings.cpp) fill and save its folders.
// Asks the dialog to tell what a run that did not finish left.
constexpr UINT WM_REPORT_UNFINISHED_RUN = WM_APP + 1;

class CParvaneDlg : public CDialog {
public:
    explicit CParvaneDlg(CWnd* parent = nullptr);
    enum { IDD = IDD_PARVANE_DIALOG };

    HICON m_hIcon;
    CString m_strInputFolder;
    CString m_strOutputFolder;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // During a run no command acts: no second click, no exit, no close request.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;  // the folder-name key filter
    BOOL OnInitDialog() override;

    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    // During a run the session may not end: Windows would end the interpreter
    // and dcmdjpeg in the middle of a write.
    afx_msg BOOL OnQueryEndSession();
    afx_msg void OnBnClickedBrowseInput();
    afx_msg void OnBnClickedBrowseOutput();
    afx_msg void OnBnClickedExit();
    afx_msg void OnBnClickedConvert();
    // Posted at the start, so that the dialog shows before the report.
    afx_msg void OnReportUnfinishedRun();

    CString BrowseForFolder(CString current);
    void RunConversionScript(GatheredInput& gathered, const RunBaseline& baseline, const std::string& journal,
                             bool inPlace, Subfolders subfolders, RunWindow& window);

    DECLARE_MESSAGE_MAP()

private:
    // Tells what a run that did not finish left, once no run of this working
    // folder goes on, and forgets it.
    void ReportUnfinishedRun();
    int ShowConvertMessage(const ConvertMessage& message);
    void ShowBatchFileInUse();
    void ShowListingFailed(const std::wstring& folder);
    // Shows where the interpreter looked when it would find no dcmdjpeg.
    bool LineProgramFound();
    void ShowWhereLineProgramWasLookedFor(const ConvertMessage& message);
    static void AppendFolderBackslash(CString& folder);
    bool HasRoomForOutputs(const DiskSpace& space, bool inPlace, RunWindow& window);
    bool AskToGoOn(const wchar_t* text, const wchar_t* caption, bool inPlace);

    bool m_bRunning = false;
    bool m_bConverting = false;  // the run's processes live
};
