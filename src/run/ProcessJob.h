#pragma once
// A job object: it takes in a process and every program that process starts,
// and tells how many of them still run. No limits are set; closing it ends
// nothing, so a run outlives a Parvane that is ended.
#include "afx/afx.h"
#include <optional>
#include <vector>

class ProcessJob {
public:
    bool Create();
    // False when the system refuses (Windows 7 when this program runs in a
    // job of its own that does not allow another).
    bool Assign(HANDLE process);
    bool IsValid() const { return m_job.IsValid(); }
    void Reset()
    {
        m_job.Reset();
        m_port.Reset();
    }

    // Has the job tell of every process it takes in from now on. False when
    // it cannot.
    bool ReportNewProcesses();
    // The id of the next process the job has taken in, waiting for it;
    // nothing once StopWaiting was called or the job cannot tell.
    std::optional<DWORD> NextNewProcess();
    // Ends a wait of NextNewProcess, now or the next one.
    void StopWaiting();

    // -1 when the job cannot tell.
    long ActiveProcesses() const;
    // Every process the job has taken in, ended ones too; -1 when it cannot tell.
    long TotalProcesses() const;
    // Whether the process is one the job has taken in.
    bool Holds(HANDLE process) const;
    // The ids of the processes of the job that run now.
    std::vector<DWORD> Processes() const;
    // Ends every process of the job that was created and never let run (its
    // threads are all suspended and its loader has not begun), which would
    // otherwise stay for ever.
    // Returns the ids of those it ended.
    std::vector<DWORD> EndProgramsNeverStarted();

private:
    ScopedKernelHandle m_job;
    ScopedKernelHandle m_port;  // the job's messages
};
