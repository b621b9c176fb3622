#pragma once
// Which lines of a run started their program. The job tells of every process
// it takes in; a thread of its own reads each one's command line at once and
// finds the line that names the same input and output. A line the interpreter
// passed without a process (the program missing, quarantined by a virus
// scanner, blocked by a policy) is then told apart from one whose program ran
// and wrote nothing.
#include "run/ProcessJob.h"
#include "script/ConversionScript.h"
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

class LineStarts {
public:
    // The lines of the script, whose files lie below inputFolder; the script
    // must outlive this object.
    LineStarts(const ConversionScript& script, std::wstring inputFolder);
    ~LineStarts();  // stops watching
    LineStarts(const LineStarts&) = delete;
    LineStarts& operator=(const LineStarts&) = delete;

    // Starts watching the processes the job takes in: called once the
    // interpreter is in the job and before it runs. False when the job
    // cannot tell: nothing is known then.
    bool Watch(ProcessJob& job, DWORD interpreterId);
    // Once every process of the run has ended: for each line, whether its
    // program started. Nothing when that is not known for every line (a
    // command line that could not be read, no watch).
    std::optional<std::vector<bool>> Started();

private:
    static DWORD WINAPI WatchThread(void* self);
    void Note(DWORD processId);

    std::wstring ArgumentsOfLine(size_t line) const;

    const ConversionScript& m_script;
    std::wstring m_inputFolder;
    std::vector<bool> m_started;
    size_t m_next = 0;  // lines run in order: the search starts here
    std::unordered_set<DWORD> m_ids;  // of the processes read
    bool m_known = false;
    DWORD m_interpreter = 0;
    ProcessJob* m_job = nullptr;
    ScopedKernelHandle m_thread;
};

// The paths of the lines the interpreter passed without starting their
// program: of every line when the run went to its end; after a stop, of those
// before the last line that started (the rest were not reached). Empty when
// the starts are not known.
std::vector<std::wstring> LinesNotStarted(const ConversionScript& script,
                                          const std::optional<std::vector<bool>>& started, bool stopped);

// The arguments the interpreter hands the program of a line for the file at
// inputPath and its output at outputPath: both quoted, as the line has them.
std::wstring LineArguments(const std::wstring& inputPath, const std::wstring& outputPath);
