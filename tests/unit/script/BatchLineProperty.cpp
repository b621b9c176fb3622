#include "BatchLineProperty.h"
#include "CmdModel.h"
#include "script/NameChecks.h"
#include <algorithm>
#include <cstdio>

namespace batchproperty {

namespace {

// Text for a failure message: printable ASCII as it is, the rest as \u{...}.
std::string Shown(std::wstring_view text)
{
    std::string shown;
    const size_t limit = 300;
    size_t i = 0;
    for (size_t shownCount = 0; i < text.size() && shownCount < limit; ++shownCount) {
        const unsigned ch = static_cast<unsigned>(text[i]);
        size_t run = 1;
        while (i + run < text.size() && text[i + run] == text[i])
            ++run;
        if (ch >= 0x20 && ch < 0x7F) {
            shown += static_cast<char>(ch);
        } else {
            char code[16];
            std::snprintf(code, sizeof code, "\\u{%X}", ch);
            shown += code;
        }
        if (run > 3) {
            shown += "{x" + std::to_string(run) + "}";
            i += run;
        } else {
            ++i;
        }
    }
    if (i < text.size())
        shown += "... (" + std::to_string(text.size()) + " characters)";
    return shown;
}

std::string Describe(const Input& input)
{
    return "input folder [" + Shown(input.inputFolder) + "] output folder [" + Shown(input.outputFolder) +
           "] name [" + Shown(input.fileName) + "] system " + std::to_string(input.system % 2);
}

// The interpreter's surroundings: a few variables set, the batch file as %0.
const cmdmodel::Environment& Environment()
{
    static const cmdmodel::Environment env = [] {
        cmdmodel::Environment e;
        e.variables = { { L"PATH", L"C:\\windows\\system32" }, { L"OS", L"Windows_NT" }, { L"A", L"&x" },
                        { L"TEMP", L"C:\\temp" } };
        e.batchArguments = { L"\"C:\\work\\uncompress.bat\"" };
        return e;
    }();
    return env;
}

bool HasForbiddenCharacter(std::wstring_view name)
{
    return std::any_of(name.begin(), name.end(), [](wchar_t ch) {
        return ch < L' ' || std::wstring_view(L"\"<>|*?:\\/").find(ch) != std::wstring_view::npos;
    });
}

// Empty when the reason fits what was refused.
std::string CheckReason(SkipReason reason, std::wstring_view name, std::wstring_view line, const System& system)
{
    std::string oemBytes, ansiBytes;
    switch (reason) {
    case SkipReason::ForbiddenCharacter:
        if (name.empty() || HasForbiddenCharacter(name))
            return "";
        return "refused for a forbidden character it does not hold";
    case SkipReason::TrailingDotOrSpace:
        if (!name.empty() && (name.back() == L'.' || name.back() == L' '))
            return "";
        return "refused for a trailing dot or space it does not have";
    case SkipReason::DeviceName:
        return "";  // the device names have their own table of cases
    case SkipReason::LineTooLong:
        if (line.size() > kMaxLineLength ||
            (system.oem->Encode(line, oemBytes) && oemBytes.size() > kMaxLineLength))
            return "";
        return "refused as too long, but the line fits in " + std::to_string(oemBytes.size()) + " bytes";
    case SkipReason::CodePage:
        if (!system.oem->Encode(line, oemBytes) || !system.ansi->Encode(line, ansiBytes))
            return "";
        return "refused for the code page, but both code pages hold the line";
    case SkipReason::OriginalOverwritten:
    case SkipReason::OutputIncomplete:
    case SkipReason::OutputUnchecked:
    case SkipReason::NotDicom:
    case SkipReason::JpegLs:
    case SkipReason::Jpeg2000:
    case SkipReason::Rle:
    case SkipReason::Deflate:
    case SkipReason::NotConverted:
    case SkipReason::LineProgramNotStarted:
    case SkipReason::OutputNotLookedUp:
    case SkipReason::CopiedUnchanged:
    case SkipReason::DicomdirNotWritten:
    case SkipReason::AddedDuringRun:
        return "refused for what a run finds before anything ran";
    case SkipReason::NotReached:
        return "refused as not reached before anything ran";
    case SkipReason::PathTooLong:
    case SkipReason::SameNameButCase:
    case SkipReason::DicomdirUnreadable:
    case SkipReason::ListedFileMissing:
        return "refused for what only the gathering of a folder finds";
    }
    return "refused without a known reason";
}

void AppendCodePoint(std::wstring& text, char32_t cp)
{
    if (sizeof(wchar_t) == 2 && cp > 0xFFFF) {
        cp -= 0x10000;
        text += static_cast<wchar_t>(0xD800 + (cp >> 10));
        text += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
        text += static_cast<wchar_t>(cp);
    }
}

// Printable ASCII with the interpreter's and the run-time's specials first,
// so that they take most of the low byte values.
constexpr std::wstring_view kAscii =
    L"\"%^&|<>()!\\ \"%^&|<>()!\\ .:;,=@~*?/\t\n\r\x1A\x7F\x01'`[]{}+-_#$0123abcxyzABCXYZ";

// Where the characters without a special meaning start in kAscii.
constexpr size_t kPlainAsciiFrom = kAscii.find(L'\'');

// Characters beyond ASCII that could matter: full-width forms of the
// specials, spaces and line separators of other kinds, double-byte characters
// whose second byte in 932 is \ or |, private use, surrogates, best-fit bait.
constexpr char32_t kBeyondAscii[] = {
    0xFF02, 0xFF05, 0xFF3E, 0xFF06, 0xFF5C, 0xFF1C, 0xFF1E, 0xFF08, 0xFF09, 0xFF01, 0xFF3C, 0xFF0F,
    0x3000, 0x00A0, 0x0085, 0x2028, 0x2029, 0xFEFF, 0x200B, 0x30BD, 0x8868, 0x80FD, 0x5341, 0x7AF9,
    0x30FC, 0x8A6E, 0xE000, 0xE0FF, 0xF8F0, 0xF8FF, 0x00B9, 0x00A5, 0x203E, 0xFFFD, 0xD800, 0xDC00,
    0x1F600, 0x2000B, 0x00E9, 0x00FF, 0x00C7, 0x20AC, 0x2215, 0x2033, 0x02BA, 0x201C, 0x2039, 0xFF61,
    0x65E5, 0x672C, 0x753B, 0x50CF, 0x2460, 0x2170, 0x00B2, 0x00B3, 0x0152, 0x0192,
};

// Whole words that single characters seldom spell: the device names (and
// near misses), extensions, and what the interpreter would expand.
constexpr std::wstring_view kWords[] = {
    L"CON",   L"con",    L"NUL",     L"nul",     L"AUX",  L"PRN",     L"COM1", L"com9", L"LPT1",
    L"lpt\u00B9", L"COM\u00B2", L"CONIN$", L"conout$", L"COM0", L"CONSOLE", L".dcm", L" .dcm", L".",
    L" ",     L"%TEMP%", L"%~1",     L"%*",      L"!PATH!", L"^&",     L"\\\"", L"\\\\", L"a.dcm",
};

constexpr size_t kMaxGeneratedLength = 12000;

}  // namespace

System SystemNumbered(unsigned index)
{
    if (index % 2 == 0)
        return { &CodePageNumbered(932), &CodePageNumbered(932) };
    return { &CodePageNumbered(437), &CodePageNumbered(1252) };
}

ConversionScript::Encoder StandInEncoder(const System& system)
{
    return [system](std::wstring_view text, std::string& bytes) {
        if (!system.oem->Encode(text, bytes))
            return false;
        if (system.ansi == system.oem)
            return true;
        std::string ansiBytes;
        return system.ansi->Encode(text, ansiBytes);
    };
}

Input InputFromBytes(const uint8_t* data, size_t size)
{
    Input input;
    if (size == 0)
        return input;
    input.system = data[0];
    std::wstring* texts[] = { &input.inputFolder, &input.outputFolder, &input.fileName };
    size_t current = 0;
    size_t i = 1;
    auto next = [&]() -> unsigned { return i < size ? data[i++] : 0; };
    while (i < size) {
        std::wstring& text = *texts[current];
        const unsigned b = data[i++];
        if (b >= 0xFE) {
            if (++current == 3)
                break;
            continue;
        }
        if (text.size() >= kMaxGeneratedLength)
            continue;
        if (b < 0x60) {
            text += kAscii[b % kAscii.size()];
        } else if (b < 0xA0) {
            AppendCodePoint(text, kBeyondAscii[(b - 0x60) % std::size(kBeyondAscii)]);
        } else if (b < 0xC0) {
            // Kana and the common kanji, where code page 932 has its trail bytes \ and |.
            AppendCodePoint(text, 0x3040 + (((b - 0xA0) << 8) | next()) % (0x9FA0 - 0x3040));
        } else if (b < 0xE0) {
            AppendCodePoint(text, 0xE000 + (((b - 0xC0) << 8) | next()));  // private use
        } else if (b < 0xF0) {
            AppendCodePoint(text, (next() << 8) | next());  // anywhere in the first plane
        } else if (b < 0xF4) {
            const char32_t cp = ((next() << 16) | (next() << 8) | next()) % 0x110000;
            AppendCodePoint(text, cp);
        } else if (b < 0xF6) {
            text += kWords[next() % std::size(kWords)];
        } else if (!text.empty()) {
            // A long run of the last character: names and folders near the line limit.
            const wchar_t last = text.back();
            size_t count = (next() + 1) * ((b - 0xF5) * 16);
            count = std::min(count, kMaxGeneratedLength - text.size());
            text.append(count, last);
        }
    }
    return input;
}

std::vector<uint8_t> RandomInputBytes(std::mt19937& random)
{
    auto below = [&](unsigned n) { return static_cast<unsigned>(random() % n); };
    std::vector<uint8_t> bytes = { static_cast<uint8_t>(below(256)) };
    const unsigned lengths[] = { 1 + below(12), 1 + below(12), 1 + below(8) };
    for (unsigned text = 0; text < 3; ++text) {
        if (text > 0)
            bytes.push_back(0xFE);
        for (unsigned n = 0; n < lengths[text]; ++n) {
            const unsigned kind = below(100);
            if (kind < 45) {
                bytes.push_back(static_cast<uint8_t>(kPlainAsciiFrom + below(kAscii.size() - kPlainAsciiFrom)));
            } else if (kind < 75) {
                bytes.push_back(static_cast<uint8_t>(below(0x60)));
            } else if (kind < 87) {
                bytes.push_back(static_cast<uint8_t>(0x60 + below(0x40)));
            } else if (kind < 97) {
                bytes.push_back(static_cast<uint8_t>(0xA0 + below(0x40)));
                bytes.push_back(static_cast<uint8_t>(below(256)));
            } else if (kind < 99) {
                bytes.push_back(static_cast<uint8_t>(0xC0 + below(0x36)));
                for (int k = 0; k < 3; ++k)
                    bytes.push_back(static_cast<uint8_t>(below(256)));
            } else {
                bytes.push_back(static_cast<uint8_t>(0xF4 + below(10)));  // a word or a long run
                bytes.push_back(static_cast<uint8_t>(below(256)));
            }
        }
    }
    return bytes;
}

std::string Check(const Input& input, const System& system, const ConversionScript::Encoder& encode)
{
    // The dialog refuses these folder texts with its own message; no script is made.
    if (input.inputFolder.empty() || input.outputFolder.empty() || !IsSafeFolderText(input.inputFolder) ||
        !IsSafeFolderText(input.outputFolder))
        return "";
    std::wstring inputFolder = input.inputFolder;
    std::wstring outputFolder = input.outputFolder;
    AppendBackslashIfMissing(inputFolder);
    AppendBackslashIfMissing(outputFolder);
    const std::wstring& name = input.fileName;
    ConversionScript script(inputFolder, outputFolder, encode);
    script.AddFile(name);

    std::wstring line = ConversionLine(inputFolder, name, outputFolder);
    line.pop_back();
    if (!script.Skipped().empty()) {
        if (script.Skipped().size() != 1 || !script.FilesWithLine().empty() || !script.Bytes().empty())
            return "a refused name left a line: " + Describe(input);
        const SkippedFile& skipped = script.Skipped()[0];
        if (skipped.name != name)
            return "the refusal names another file: " + Describe(input);
        std::string why = CheckReason(skipped.reason, name, line, system);
        return why.empty() ? "" : why + ": " + Describe(input);
    }
    if (script.FilesWithLine() != std::vector<std::wstring>{ name })
        return "an accepted name is not listed as having a line: " + Describe(input);

    const std::wstring inputPath = inputFolder + name;
    const std::wstring outputPath = outputFolder + name;
    const std::vector<std::wstring> arguments = { inputPath, outputPath };

    // The line as text.
    std::wstring problem = cmdmodel::CheckSingleCommand(line, Environment(), L"dcmdjpeg", arguments);
    if (!problem.empty())
        return "the line is read as " + Shown(problem) + ": " + Describe(input);

    // The line as the interpreter reads it from the file, in the OEM code page.
    const std::vector<std::string> lines = cmdmodel::SplitBatchLines(script.Bytes());
    if (lines.size() != 1)
        return "the interpreter reads " + std::to_string(lines.size()) + " lines from " +
               std::to_string(script.Bytes().size()) + " bytes: " + Describe(input);
    const std::wstring read = system.oem->Decode(lines[0]);
    if (read != line)
        return "the line reads back from the OEM code page as [" + Shown(read) + "]: " + Describe(input);
    const cmdmodel::LineReading reading = cmdmodel::ReadLine(read, Environment());
    problem = cmdmodel::CheckSingleCommand(read, Environment(), L"dcmdjpeg", arguments);
    if (!problem.empty())
        return "the line read from the file is read as " + Shown(problem) + ": " + Describe(input);

    // The command line as dcmdjpeg gets it, in the ANSI code page.
    std::string narrow;
    if (!system.ansi->Encode(reading.commands[0].text, narrow))
        return "dcmdjpeg's code page cannot hold its command line: " + Describe(input);
    const std::vector<std::string> argv =
        cmdmodel::SplitArgumentsNarrow(narrow, [&](unsigned char b) { return system.ansi->IsLeadByte(b); });
    std::vector<std::wstring> wideArgv;
    for (const std::string& arg : argv)
        wideArgv.push_back(system.ansi->Decode(arg));
    std::vector<std::wstring> expected = { L"dcmdjpeg", inputPath, outputPath };
    if (wideArgv != expected) {
        std::string got;
        for (const std::wstring& arg : wideArgv)
            got += " [" + Shown(arg) + "]";
        return "dcmdjpeg gets" + got + ": " + Describe(input);
    }
    return "";
}

}  // namespace batchproperty
