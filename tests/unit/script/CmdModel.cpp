#include "CmdModel.h"
#include <algorithm>

namespace cmdmodel {

namespace {

wchar_t UpperAscii(wchar_t ch)
{
    return (ch >= L'a' && ch <= L'z') ? static_cast<wchar_t>(ch - L'a' + L'A') : ch;
}

bool IsDigit(wchar_t ch)
{
    return ch >= L'0' && ch <= L'9';
}

// What separates a command from its arguments and skips before a command.
bool IsDelimiter(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L',' || ch == L';' || ch == L'=' || ch == L'\v' || ch == L'\f';
}

bool IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t';
}

std::wstring BatchArgument(const Environment& env, size_t index)
{
    return index < env.batchArguments.size() ? env.batchArguments[index] : std::wstring();
}

std::wstring WithoutSurroundingQuotes(std::wstring text)
{
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
        return text.substr(1, text.size() - 2);
    if (!text.empty() && text.front() == L'"')
        return text.substr(1);
    return text;
}

void TrimTrailingBlanks(std::wstring& text)
{
    while (!text.empty() && IsBlank(text.back()))
        text.pop_back();
}

// The first word of a command, quotes removed.
std::wstring CommandName(std::wstring_view text)
{
    std::wstring name;
    bool quoted = false;
    for (wchar_t ch : text) {
        if (ch == L'"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && IsDelimiter(ch))
            break;
        name += ch;
    }
    return name;
}

bool IsOperator(wchar_t ch)
{
    return ch == L'&' || ch == L'|' || ch == L'<' || ch == L'>';
}

int ParseInt(std::wstring_view text, size_t& pos)
{
    int sign = 1;
    if (pos < text.size() && text[pos] == L'-') {
        sign = -1;
        ++pos;
    }
    int value = 0;
    while (pos < text.size() && IsDigit(text[pos]))
        value = value * 10 + (text[pos++] - L'0');
    return sign * value;
}

// The value of a set variable through ~start,length or old=new; anything
// else stays as written.
std::wstring Substitute(const std::wstring& value, std::wstring_view how, std::wstring_view written)
{
    const int size = static_cast<int>(value.size());
    if (!how.empty() && how[0] == L'~') {
        size_t pos = 1;
        int start = ParseInt(how, pos);
        int length = size;
        if (pos < how.size() && how[pos] == L',') {
            ++pos;
            length = ParseInt(how, pos);
        }
        if (start < 0)
            start = std::max(0, size + start);
        start = std::min(start, size);
        if (length < 0)
            length = std::max(0, size - start + length);
        return value.substr(static_cast<size_t>(start), static_cast<size_t>(length));
    }
    const size_t equals = how.find(L'=');
    if (equals == std::wstring_view::npos || equals == 0)
        return std::wstring(written);
    const std::wstring_view from = how.substr(0, equals);
    const std::wstring_view to = how.substr(equals + 1);
    std::wstring result;
    size_t pos = 0;
    while (pos < value.size()) {
        bool match = pos + from.size() <= value.size();
        for (size_t k = 0; match && k < from.size(); ++k)
            match = UpperAscii(value[pos + k]) == UpperAscii(from[k]);
        if (match) {
            result += to;
            pos += from.size();
        } else {
            result += value[pos++];
        }
    }
    return result;
}

}  // namespace

const std::wstring* Environment::Find(std::wstring_view name) const
{
    for (const auto& [key, value] : variables) {
        if (key.size() != name.size())
            continue;
        bool same = true;
        for (size_t i = 0; i < key.size() && same; ++i)
            same = UpperAscii(key[i]) == UpperAscii(name[i]);
        if (same)
            return &value;
    }
    return nullptr;
}

std::wstring ExpandPercent(std::wstring_view line, const Environment& env)
{
    std::wstring out;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] != L'%') {
            out += line[i++];
            continue;
        }
        if (i + 1 < line.size() && line[i + 1] == L'%') {
            out += L'%';
            i += 2;
            continue;
        }
        if (i + 1 < line.size() && IsDigit(line[i + 1])) {
            out += BatchArgument(env, static_cast<size_t>(line[i + 1] - L'0'));
            i += 2;
            continue;
        }
        if (i + 1 < line.size() && line[i + 1] == L'*') {
            for (size_t a = 1; a < env.batchArguments.size(); ++a)
                out += (a > 1 ? L" " : L"") + env.batchArguments[a];
            i += 2;
            continue;
        }
        if (i + 1 < line.size() && line[i + 1] == L'~') {
            // %~N and its path modifiers; the model knows only the plain one.
            size_t j = i + 2;
            while (j < line.size() && std::wstring_view(L"fdpnxsatz").find(line[j]) != std::wstring_view::npos)
                ++j;
            if (j < line.size() && IsDigit(line[j])) {
                out += WithoutSurroundingQuotes(BatchArgument(env, static_cast<size_t>(line[j] - L'0')));
                i = j + 1;
                continue;
            }
        }
        const size_t close = line.find(L'%', i + 1);
        if (close == std::wstring_view::npos) {
            ++i;  // a lone % is dropped
            continue;
        }
        const std::wstring_view name = line.substr(i + 1, close - i - 1);
        const size_t colon = name.find(L':');
        if (colon == std::wstring_view::npos) {
            if (const std::wstring* value = env.Find(name))
                out += *value;
            i = close + 1;
            continue;
        }
        // %name:~start,length% and %name:old=new%. When the variable is not
        // set, only "%name:" goes and reading goes on after the colon.
        const std::wstring* value = env.Find(name.substr(0, colon));
        if (!value) {
            i += 1 + colon + 1;
            continue;
        }
        out += Substitute(*value, name.substr(colon + 1), line.substr(i, close - i + 1));
        i = close + 1;
    }
    return out;
}

std::wstring ExpandDelayed(std::wstring_view text, const Environment& env)
{
    if (!env.delayedExpansion || text.find(L'!') == std::wstring_view::npos)
        return std::wstring(text);
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        const wchar_t ch = text[i];
        if (ch == L'^') {
            if (i + 1 < text.size())
                out += text[i + 1];
            i += 2;
            continue;
        }
        if (ch != L'!') {
            out += ch;
            ++i;
            continue;
        }
        const size_t close = text.find(L'!', i + 1);
        if (close == std::wstring_view::npos) {
            ++i;
            continue;
        }
        if (const std::wstring* value = env.Find(text.substr(i + 1, close - i - 1)))
            out += *value;
        i = close + 1;
    }
    return out;
}

LineReading ReadLine(std::wstring_view rawLine, const Environment& env)
{
    const std::wstring text = ExpandPercent(rawLine, env);
    LineReading reading;
    int blockDepth = 0;
    size_t i = 0;
    bool first = true;
    while (i < text.size()) {
        while (i < text.size() && (IsDelimiter(text[i]) || text[i] == L'@'))
            ++i;
        if (i >= text.size())
            break;
        if (first && text[i] == L':') {
            reading.label = true;
            return reading;
        }
        first = false;
        if (text[i] == L'(') {
            ++blockDepth;
            reading.block = true;
            ++i;
            continue;
        }
        if (text[i] == L')') {
            // Closes a block; at the start of a line outside one, the
            // interpreter skips the rest like a remark.
            reading.block = true;
            if (blockDepth == 0)
                return reading;
            --blockDepth;
            ++i;
            continue;
        }
        Command command;
        bool quoted = false;
        while (i < text.size()) {
            const wchar_t ch = text[i];
            if (ch == L'"') {
                quoted = !quoted;
                command.text += ch;
                ++i;
                continue;
            }
            if (quoted) {
                command.text += ch;
                ++i;
                continue;
            }
            if (ch == L'^') {
                if (i + 1 < text.size())
                    command.text += text[i + 1];
                else
                    reading.continues = true;
                i += 2;
                continue;
            }
            if (ch == L'&' || ch == L'|') {
                i += (i + 1 < text.size() && text[i + 1] == ch) ? 2 : 1;
                break;
            }
            if (ch == L'<' || ch == L'>') {
                Redirection redirection;
                // A handle number written just before the operator belongs to it.
                if (!command.text.empty() && IsDigit(command.text.back()) &&
                    (command.text.size() == 1 || IsDelimiter(command.text[command.text.size() - 2]))) {
                    redirection.op += command.text.back();
                    command.text.pop_back();
                }
                redirection.op += ch;
                ++i;
                if (ch == L'>' && i < text.size() && text[i] == L'>')
                    redirection.op += text[i++];
                if (i < text.size() && text[i] == L'&')
                    redirection.op += text[i++];
                while (i < text.size() && IsBlank(text[i]))
                    ++i;
                bool targetQuoted = false;
                while (i < text.size()) {
                    const wchar_t t = text[i];
                    if (!targetQuoted && (IsDelimiter(t) || IsOperator(t)))
                        break;
                    if (t == L'"')
                        targetQuoted = !targetQuoted;
                    redirection.target += t;
                    ++i;
                }
                command.redirections.push_back(redirection);
                continue;
            }
            if (ch == L')' && blockDepth > 0)
                break;
            command.text += ch;
            ++i;
        }
        TrimTrailingBlanks(command.text);
        command.text = ExpandDelayed(command.text, env);
        command.name = CommandName(command.text);
        if (!command.text.empty() || !command.redirections.empty())
            reading.commands.push_back(command);
    }
    return reading;
}

std::vector<std::string> SplitBatchLines(std::string_view bytes, size_t maxLineBytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (char byte : bytes) {
        if (byte == '\n') {
            lines.push_back(line);
            line.clear();
            continue;
        }
        if (byte == '\r')
            continue;
        if (line.size() == maxLineBytes) {
            lines.push_back(line);
            line.clear();
        }
        line += byte;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

namespace {

template <typename Char>
std::vector<std::basic_string<Char>> Split(std::basic_string_view<Char> s,
                                           const std::function<bool(unsigned char)>* isLeadByte)
{
    using String = std::basic_string<Char>;
    auto isLead = [&](Char ch) {
        return isLeadByte && (*isLeadByte)(static_cast<unsigned char>(ch));
    };
    auto isBlank = [](Char ch) { return ch == Char(' ') || ch == Char('\t'); };
    std::vector<String> args;
    size_t i = 0;

    // The program: quotes group, nothing escapes.
    String program;
    bool quoted = false;
    while (i < s.size()) {
        const Char ch = s[i];
        if (ch == Char('"')) {
            quoted = !quoted;
            ++i;
            continue;
        }
        if (!quoted && isBlank(ch))
            break;
        program += ch;
        if (isLead(ch) && i + 1 < s.size())
            program += s[++i];
        ++i;
    }
    args.push_back(program);

    for (;;) {
        while (i < s.size() && isBlank(s[i]))
            ++i;
        if (i >= s.size())
            break;
        String arg;
        quoted = false;
        while (i < s.size()) {
            size_t backslashes = 0;
            while (i < s.size() && s[i] == Char('\\')) {
                ++backslashes;
                ++i;
            }
            if (i < s.size() && s[i] == Char('"')) {
                arg.append(backslashes / 2, Char('\\'));
                if (backslashes % 2 == 1) {
                    arg += Char('"');
                    ++i;
                } else if (quoted && i + 1 < s.size() && s[i + 1] == Char('"')) {
                    arg += Char('"');
                    quoted = false;
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
                continue;
            }
            arg.append(backslashes, Char('\\'));
            if (i >= s.size())
                break;
            const Char ch = s[i];
            if (!quoted && isBlank(ch))
                break;
            arg += ch;
            if (isLead(ch) && i + 1 < s.size())
                arg += s[++i];
            ++i;
        }
        args.push_back(arg);
    }
    return args;
}

}  // namespace

std::vector<std::wstring> SplitArguments(std::wstring_view commandLine)
{
    return Split<wchar_t>(commandLine, nullptr);
}

std::vector<std::string> SplitArgumentsNarrow(std::string_view commandLine,
                                              const std::function<bool(unsigned char)>& isLeadByte)
{
    return Split<char>(commandLine, &isLeadByte);
}

std::vector<std::vector<std::wstring>> ProgramRuns(std::wstring_view line, const Environment& env,
                                                   std::wstring_view program)
{
    std::vector<std::vector<std::wstring>> runs;
    for (const Command& command : ReadLine(line, env).commands) {
        if (command.name == program)
            runs.push_back(SplitArguments(command.text));
    }
    return runs;
}

std::wstring CheckSingleCommand(std::wstring_view line, const Environment& env, std::wstring_view program,
                                const std::vector<std::wstring>& arguments)
{
    const LineReading reading = ReadLine(line, env);
    if (reading.label)
        return L"read as a label";
    if (reading.block)
        return L"opens or closes a block";
    if (reading.continues)
        return L"continues on the next line";
    if (reading.commands.size() != 1)
        return std::to_wstring(reading.commands.size()) + L" commands";
    const Command& command = reading.commands[0];
    if (!command.redirections.empty())
        return L"redirects " + command.redirections[0].op + command.redirections[0].target;
    if (command.name != program)
        return L"runs " + command.name;
    std::vector<std::wstring> expected{ std::wstring(program) };
    expected.insert(expected.end(), arguments.begin(), arguments.end());
    const std::vector<std::wstring> argv = SplitArguments(command.text);
    if (argv != expected) {
        std::wstring got = std::to_wstring(argv.size()) + L" arguments:";
        for (const std::wstring& arg : argv)
            got += L" [" + arg + L"]";
        return got;
    }
    return L"";
}

}  // namespace cmdmodel
