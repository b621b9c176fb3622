#pragma once
// Runs the conversion script: writes it to uncompress.bat in the working
// folder, holds that file for the run, starts the command interpreter on it
// in a job object that also takes in every program the interpreter starts,
// and tells when nothing of the run is left. A stop ends the interpreter
// only: the dcmdjpeg it is running finishes its file.
#include "afx/afx.h"
#include "run/ProcessJob.h"
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

enum class BatchStart {
    Started,
    BatchFileInUse,  // another run holds uncompress.bat; nothing was written or started
    NotStarted,      // the interpreter could not be started; the batch file stays on disk
};

class LineStarts;

class BatchRun {
public:
    // lineProgram: the file name of the program each line of the batch file
    // runs, such as "dcmdjpeg.exe".
    explicit BatchRun(std::wstring lineProgram) : m_lineProgram(std::move(lineProgram)) {}
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;

    // Has starts told of every program the run starts; before Start. The
    // starts must outlive this object's run and be asked before it goes.
    void TellLineStarts(LineStarts* starts) { m_starts = starts; }
    // Writes and holds the batch file, calls beforeInterpreter, when given,
    // and starts the interpreter. Throws CFileException when the batch file
    // cannot be created or written for another reason than another run
    // holding it; nothing is started then.
    BatchStart Start(const std::string& batchBytes, const std::function<void()>& beforeInterpreter = {});

    // Signalled when the interpreter has ended.
    HANDLE Interpreter() const { return m_process.Get(); }
    bool InterpreterEnded() const;
    // Neither the interpreter nor anything it started is still running.
    // After a stop, also ends a program the interpreter had created but not
    // yet let run.
    bool Ended();

    // A stop needs the job: without it the end of the running dcmdjpeg could
    // not be told.
    bool CanStop() const { return m_job.IsValid(); }
    // Ends the interpreter, so that no further line starts.
    void Stop();
    bool Stopped() const { return m_stopped; }
    // After a stop, once the run has ended: how many lines the interpreter
    // started, each of which ran its program to its end. Every process the
    // job took in counts, less those that run no line (the interpreter, and
    // the console host that Windows 8 and later start in the job, both seen
    // at the stop) and the programs ended before they ran. Nothing when the
    // job cannot tell.
    std::optional<size_t> LinesStarted() const;

private:
    std::wstring m_lineProgram;
    ScopedFileHandle m_batchFile;  // held until the run object goes, and by the run's processes
    ProcessJob m_job;
    LineStarts* m_starts = nullptr;
    ScopedKernelHandle m_process;
    bool m_stopped = false;
    std::set<DWORD> m_runningNoLine;     // at the stop
    std::set<DWORD> m_endedUnstarted;    // after it
};

// The interpreter's command line for the batch file at batchPath: no AutoRun
// commands (/d), no delayed expansion (/v:off), so that neither a registry
// setting nor a "!" in a name changes what the lines do.
std::wstring InterpreterCommandLine(const std::wstring& batchPath);

// Where the interpreter finds the program a line names (such as "dcmdjpeg"),
// as it looks: in the working folder, then in each folder of PATH, with each
// extension of PATHEXT. Empty when it finds none. lookedIn, when given, gets
// the folders looked in.
std::wstring FindLineProgram(const std::wstring& name, std::vector<std::wstring>* lookedIn = nullptr);
