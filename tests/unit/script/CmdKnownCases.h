#pragma once
// The model's known cases: batch lines and the runs of dcmdjpeg they start,
// each argument as the C run-time splits it. The model must give these; the
// Windows tests run the same lines through the real cmd with a stand-in
// dcmdjpeg that records its arguments, except where notOnWine says why not.
#include "CmdModel.h"
#include <string>
#include <vector>

namespace cmdmodel {

using Runs = std::vector<std::vector<std::wstring>>;

struct KnownCase {
    const char* what;
    std::wstring line;
    bool delayedExpansion;
    Runs runs;
    const char* notOnWine;  // null: checked against Wine's cmd
};

// The variable the cases read; the Windows test sets it for cmd.
inline constexpr wchar_t kKnownVariable[] = L"PARVANE_VAR";
inline constexpr wchar_t kKnownValue[] = L"set value";

inline Environment KnownCaseEnvironment(bool delayedExpansion)
{
    Environment env;
    env.variables[kKnownVariable] = kKnownValue;
    env.batchArguments = { L"uncompress.bat" };
    env.delayedExpansion = delayedExpansion;
    return env;
}

inline const std::vector<KnownCase>& KnownCases()
{
    static const std::vector<KnownCase> cases = {
        // % expansion
        { "doubled % reaches the program as one",
          LR"(dcmdjpeg "C:\in\50%%.dcm" "D:\out\50%%.dcm")", false,
          { { L"dcmdjpeg", LR"(C:\in\50%.dcm)", LR"(D:\out\50%.dcm)" } }, nullptr },
        { "two single % read the text between them as a variable, quotes and all; unset, it goes",
          LR"(dcmdjpeg "in\50%.dcm" "out\50%.dcm")", false,
          { { L"dcmdjpeg", LR"(in\50.dcm)" } }, nullptr },
        { "a colon in that text makes it an edit of a variable; unset, only %name: goes",
          LR"(dcmdjpeg "C:\in\50%.dcm" "D:\out\50%.dcm" "x:\y")", false,
          { { L"dcmdjpeg", LR"(C:\in\50\out\50.dcm)", LR"(x:\y)" } }, nullptr },
        { "%name:old=new% edits a set variable",
          LR"(dcmdjpeg "%PARVANE_VAR:set=new%" "%PARVANE_VAR:~-5%")", false,
          { { L"dcmdjpeg", L"new value", L"value" } }, nullptr },
        { "%name% is expanded between quotes",
          LR"(dcmdjpeg "C:\in\%PARVANE_VAR%.dcm")", false,
          { { L"dcmdjpeg", LR"(C:\in\set value.dcm)" } }, nullptr },
        { "%%name%% stays as written",
          LR"(dcmdjpeg "C:\in\%%PARVANE_VAR%%.dcm")", false,
          { { L"dcmdjpeg", LR"(C:\in\%PARVANE_VAR%.dcm)" } }, nullptr },
        { "%1 of a batch started without arguments is empty",
          LR"(dcmdjpeg "C:\in\a%1.dcm")", false,
          { { L"dcmdjpeg", LR"(C:\in\a.dcm)" } }, nullptr },
        { "a lone % is dropped",
          LR"(dcmdjpeg "C:\in\100%")", false,
          { { L"dcmdjpeg", LR"(C:\in\100)" } }, nullptr },
        // quotes, ^ and the operators
        { "& between quotes is text",
          LR"(dcmdjpeg "C:\in\a&b.dcm" "D:\out\a&b.dcm")", false,
          { { L"dcmdjpeg", LR"(C:\in\a&b.dcm)", LR"(D:\out\a&b.dcm)" } }, nullptr },
        { "& outside quotes starts another command",
          LR"(dcmdjpeg C:\in\a&dcmdjpeg b.dcm)", false,
          { { L"dcmdjpeg", LR"(C:\in\a)" }, { L"dcmdjpeg", L"b.dcm" } }, nullptr },
        { "| < > between quotes are text",
          LR"(dcmdjpeg "C:\a|b<c>d\x.dcm")", false,
          { { L"dcmdjpeg", LR"(C:\a|b<c>d\x.dcm)" } }, nullptr },
        { "> outside quotes redirects and takes the next word",
          LR"(dcmdjpeg C:\in\a>redirected.txt b)", false,
          { { L"dcmdjpeg", LR"(C:\in\a)", L"b" } }, nullptr },
        { "| outside quotes starts a second program",
          LR"(dcmdjpeg a|dcmdjpeg b)", false,
          { { L"dcmdjpeg", L"a" }, { L"dcmdjpeg", L"b" } }, nullptr },
        { "^ between quotes is text",
          LR"(dcmdjpeg "C:\in\x^y.dcm" "D:\out\x^y.dcm")", false,
          { { L"dcmdjpeg", LR"(C:\in\x^y.dcm)", LR"(D:\out\x^y.dcm)" } }, nullptr },
        { "^ outside quotes escapes the next character",
          LR"(dcmdjpeg C:\in\x^y.dcm C:\in\a^&b.dcm)", false,
          { { L"dcmdjpeg", LR"(C:\in\xy.dcm)", LR"(C:\in\a&b.dcm)" } }, nullptr },
        { "( ) between quotes are text",
          LR"(dcmdjpeg "C:\in\(1).dcm" "D:\out\(1).dcm")", false,
          { { L"dcmdjpeg", LR"(C:\in\(1).dcm)", LR"(D:\out\(1).dcm)" } }, nullptr },
        { "a parenthesised block runs what it holds",
          LR"((dcmdjpeg "C:\in\b.dcm"))", false,
          { { L"dcmdjpeg", LR"(C:\in\b.dcm)" } }, nullptr },
        { "a quote left open keeps & as text to the end of the line",
          LR"(dcmdjpeg "C:\in\a & b.dcm)", false,
          { { L"dcmdjpeg", LR"(C:\in\a & b.dcm)" } }, nullptr },
        { "a label line runs nothing",
          LR"(:dcmdjpeg "x")", false, {}, nullptr },
        // ! and delayed expansion
        { "! is text with delayed expansion off",
          LR"(dcmdjpeg "C:\in\a!PARVANE_VAR!b.dcm" "D:\out\hi!.dcm")", false,
          { { L"dcmdjpeg", LR"(C:\in\a!PARVANE_VAR!b.dcm)", LR"(D:\out\hi!.dcm)" } }, nullptr },
        { "with delayed expansion on, !name! is expanded between quotes and a lone ! dropped",
          LR"(dcmdjpeg "C:\in\a!PARVANE_VAR!b.dcm" "D:\out\hi!.dcm")", true,
          { { L"dcmdjpeg", LR"(C:\in\aset valueb.dcm)", LR"(D:\out\hi.dcm)" } }, nullptr },
        { "with delayed expansion on and a ! in the line, ^ is dropped between quotes",
          LR"(dcmdjpeg "C:\in\x^y!.dcm")", true,
          { { L"dcmdjpeg", LR"(C:\in\xy.dcm)" } },
          "Wine's cmd keeps the ^ when it expands !" },
        // how the run-time splits the arguments
        { "a backslash before a closing quote makes it text",
          LR"(dcmdjpeg "C:\in\" "D:\out\")", false,
          { { L"dcmdjpeg", LR"(C:\in" D:\out")" } }, nullptr },
        { "two backslashes before a quote give one",
          LR"(dcmdjpeg "C:\in\\" x)", false,
          { { L"dcmdjpeg", LR"(C:\in\)", L"x" } }, nullptr },
        { "spaces between quotes stay in the argument",
          LR"(dcmdjpeg "C:\my in\a  b.dcm" "D:\out\a  b.dcm")", false,
          { { L"dcmdjpeg", LR"(C:\my in\a  b.dcm)", LR"(D:\out\a  b.dcm)" } }, nullptr },
        { "; , = are text for the program",
          LR"(dcmdjpeg a,b;c=d)", false,
          { { L"dcmdjpeg", L"a,b;c=d" } }, nullptr },
        // characters beyond ASCII
        { "full-width and private-use characters are text",
          L"dcmdjpeg \"C:\\入力\\＆＾％！＂\uE000.dcm\" \"D:\\出力\\＆＾％！＂\uE000.dcm\"", false,
          { { L"dcmdjpeg", L"C:\\入力\\＆＾％！＂\uE000.dcm", L"D:\\出力\\＆＾％！＂\uE000.dcm" } }, nullptr },
        { "a double-byte character whose second byte is a backslash, before the closing quote",
          L"dcmdjpeg \"C:\\in\\表\" \"D:\\out\\ソ\"", false,
          { { L"dcmdjpeg", L"C:\\in\\表", L"D:\\out\\ソ" } }, nullptr },
        // where the line starts and ends
        { "@ and delimiters before the command are skipped",
          LR"(@ ,;dcmdjpeg "x")", false,
          { { L"dcmdjpeg", L"x" } }, "Wine's cmd takes the ; into the command's name" },
        { "a ^ at the end joins the next line, here the end of the file",
          LR"(dcmdjpeg a^)", false,
          { { L"dcmdjpeg", L"a" } }, "Wine's cmd runs nothing for such a last line" },
    };
    return cases;
}

}  // namespace cmdmodel
