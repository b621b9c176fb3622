#pragma once
// A model of how the command interpreter reads one line of a batch file, and
// of how the started program splits its command line into arguments. Written
// from Microsoft's documentation of cmd (batch parameters, environment
// variables and their edits, the special characters and ^, the 8191-character
// line limit) and of the C run-time's argument parsing; where that is silent
// (the CR of a line, ^ under delayed expansion) it follows how Windows
// behaves. The Windows tests hold Wine's cmd to its known cases
// (CmdKnownCases.h), which also say where Wine differs. The path modifiers of
// %~N and the finer points of blocks are left out: no line of ours has them.
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace cmdmodel {

// What the interpreter knows when it reads the line.
struct Environment {
    // Variables by name; names compare without regard to ASCII case.
    std::map<std::wstring, std::wstring> variables;
    // %0 is the batch file as started, %1 ... its arguments.
    std::vector<std::wstring> batchArguments;
    // /v:on: !name! is expanded after the line is split into commands.
    bool delayedExpansion = false;

    const std::wstring* Find(std::wstring_view name) const;
};

struct Redirection {
    std::wstring op;      // <  >  >>  2>  ...
    std::wstring target;  // as written, quotes kept
};

struct Command {
    std::wstring text;                    // the command as the program gets it
    std::wstring name;                    // its first word, without quotes
    std::vector<Redirection> redirections;
};

struct LineReading {
    std::vector<Command> commands;  // more than one: & && | || joined them
    bool label = false;             // the line starts with ':'
    bool block = false;             // a parenthesised block is opened or closed
    bool continues = false;         // a ^ at the end joins the next line
};

// Phase 1: %% gives %, %0..%9 and %* the batch arguments, %~N an argument
// without its quotes, %name% a variable (nothing when it is not set),
// %name:~start,length% and %name:old=new% a part or an edit of it (when it is
// not set, only "%name:" is dropped), a lone % is dropped. Quotes do not stop it.
std::wstring ExpandPercent(std::wstring_view line, const Environment& env);

// With delayed expansion on and a ! in the command: !name! gives the
// variable (nothing when unset), a lone ! is dropped and ^ escapes the next
// character, also between quotes.
std::wstring ExpandDelayed(std::wstring_view text, const Environment& env);

// One line as the interpreter reads it: % expansion, then quotes, ^, the
// operators & | < > and the block characters ( ), then delayed expansion.
LineReading ReadLine(std::wstring_view line, const Environment& env);

// The lines of a batch file's bytes as the interpreter reads them: a line
// ends at LF (a CR before it is dropped); a line longer than maxLineBytes
// bytes is cut there and its rest read as the next line, as Wine's cmd does
// (Windows documents 8191 characters as the limit of a line).
std::vector<std::string> SplitBatchLines(std::string_view bytes, size_t maxLineBytes = 8191);

// The C run-time's argument split. argv[0], the program, ends at the first
// space or tab outside quotes and takes backslashes as they are. Later
// arguments: 2n backslashes and a quote give n backslashes and toggle quoting;
// 2n+1 give n backslashes and a literal quote; "" inside quotes gives a quote
// and ends the quoted part; other backslashes are literal.
std::vector<std::wstring> SplitArguments(std::wstring_view commandLine);

// The same split over the bytes a narrow program gets (GetCommandLineA). The
// run-time steps over the second byte of a double-byte character, so a trail
// byte that looks like \ or " is never read as one.
std::vector<std::string> SplitArgumentsNarrow(std::string_view commandLine,
                                              const std::function<bool(unsigned char)>& isLeadByte);

// The argument lists the C run-time gives to each run of program that the
// line starts, in order (what a stand-in program would record).
std::vector<std::vector<std::wstring>> ProgramRuns(std::wstring_view line, const Environment& env,
                                                   std::wstring_view program);

// Empty when the line runs exactly one command, program, with exactly the
// arguments given; otherwise what differs, for a test's message.
std::wstring CheckSingleCommand(std::wstring_view line, const Environment& env, std::wstring_view program,
                                const std::vector<std::wstring>& arguments);

}  // namespace cmdmodel
