#include "script/lumopreproc.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "script/lumosupport.h"

namespace kolvarin::script {

namespace {

bool IsIdentChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::string LeadingIdentifier(std::string_view text)
{
    size_t n = 0;
    while (n < text.size() && IsIdentChar(text[n]))
        ++n;
    return std::string(text.substr(0, n));
}

std::string TrimLeft(std::string_view text)
{
    size_t n = 0;
    while (n < text.size() && static_cast<unsigned char>(text[n]) < 33)
        ++n;
    return std::string(text.substr(n));
}

// Splits text into lines at LF, each without its LF and one trailing CR.
std::vector<std::string> Lines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find('\n', from);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(from, end - from);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        from = end + 1;
    }
    return lines;
}

// Replaces every whole-word NAME in one left-to-right sweep (linear, so a
// runaway macro reaches the length bound quickly). Returns the count.
size_t ReplaceWords(std::string& text, std::string_view name, std::string_view value)
{
    size_t at = FindWholeWord(text, name, 1);
    if (!at)
        return 0;
    std::string out;
    size_t from = 0, count = 0;
    while (at) {
        out.append(text, from, at - 1 - from);
        out += value;
        from = at - 1 + name.size();
        ++count;
        at = FindWholeWord(text, name, from + 1);
    }
    out.append(text, from);
    text = std::move(out);
    return count;
}

class Preprocessor {
public:
    Preprocessor(const std::vector<TDefineEntry>& defines, int32_t prefixLineCount, const TIncludeReader& readFile)
        : prefix_(prefixLineCount), outputLine_(-prefixLineCount), readFile_(readFile)
    {
        for (const TDefineEntry& d : defines)
            if (!Find(d.name))
                defines_.push_back(d);
    }

    void ProcessText(std::string_view text, const std::string& fileName, int32_t lineOffset, int depth);
    TPreprocessResult Finish()
    {
        // Error positions get their entries past the written lines.
        for (auto& [error, entry] : pendingErrors_) {
            if (error.line >= prefix_) {
                error.line = prefix_ + int32_t(result_.lineMap.size());
                result_.lineMap.push_back(entry);
            }
            result_.errors.push_back(error);
        }
        return std::move(result_);
    }

private:
    struct File {
        int32_t index;
        int32_t line; // the current source line
    };
    TDefineEntry* Find(const std::string& name)
    {
        for (TDefineEntry& d : defines_)
            if (!d.name.empty() && d.name == name)
                return &d;
        return nullptr;
    }
    void Fail(const File& file) { pendingErrors_.push_back({{outputLine_ + prefix_}, {file.line, file.index}}); }
    void Write(const std::string& line, const File& file, bool lineEnd = true);
    void Define(std::string_view rest, const std::vector<std::string>& lines, size_t& next, File& file);
    bool ReplaceMacros(std::string& line);
    bool ReplaceCalls(std::string& line, const TDefineEntry& d, bool& replaced);

    int32_t prefix_;
    int32_t outputLine_;
    const TIncludeReader& readFile_;
    std::vector<TDefineEntry> defines_;
    TPreprocessResult result_;
    std::vector<std::pair<TPreprocessError, TLineMapEntry>> pendingErrors_;
};

void Preprocessor::Write(const std::string& line, const File& file, bool lineEnd)
{
    result_.text += line;
    if (lineEnd)
        result_.text += "\r\n";
    // A multi-line macro value makes several lines of one source line.
    int32_t written = 1;
    for (char c : line)
        written += c == '\n';
    for (int32_t k = 0; k < written; ++k)
        if (++outputLine_ > 0)
            result_.lineMap.push_back({file.line, file.index});
}

void Preprocessor::Define(std::string_view rest, const std::vector<std::string>& lines, size_t& next, File& file)
{
    std::string body = Trim(rest);
    std::string name = LeadingIdentifier(body);
    body = Trim(std::string_view(body).substr(name.size()));
    bool known = name.empty() || Find(name);
    TDefineEntry entry{ShortName(name), {}, {}};
    if (!body.empty() && body[0] == '(') {
        size_t close = body.find(')');
        if (close == std::string::npos) {
            if (!known)
                Fail(file);
            return;
        }
        std::string_view list = std::string_view(body).substr(1, close - 1);
        for (size_t from = 0; !Trim(list).empty();) {
            size_t comma = list.find(',', from);
            std::string parameter = Trim(list.substr(from, comma == std::string_view::npos ? list.npos : comma - from));
            if (parameter.empty() || LeadingIdentifier(parameter) != parameter) {
                if (!known)
                    Fail(file);
                return;
            }
            entry.parameters.push_back(ShortName(parameter));
            if (comma == std::string_view::npos)
                break;
            from = comma + 1;
        }
        body = Trim(std::string_view(body).substr(close + 1));
    }
    // Continuation lines belong to the directive even when it is ignored.
    if (!body.empty() && body.back() == '\\') {
        body.pop_back();
        while (next < lines.size()) {
            std::string line = lines[next++];
            ++file.line;
            if (line.empty())
                break;
            bool more = line.back() == '\\';
            if (more)
                line.pop_back();
            body += "\r\n" + line;
            if (!more)
                break;
        }
    }
    if (known)
        return;
    entry.value = body;
    defines_.push_back(std::move(entry));
}

// Replaces every call of the parameterised define D. False on a malformed call.
bool Preprocessor::ReplaceCalls(std::string& line, const TDefineEntry& d, bool& replaced)
{
    size_t at = FindWholeWord(line, d.name, 1);
    while (at) {
        size_t start = at - 1;
        line.erase(start, d.name.size());
        replaced = true;
        if (start >= line.size() || line[start] != '(')
            return false;
        std::vector<std::string> arguments;
        size_t pos = start + 1;
        for (;;) {
            size_t end = line.find_first_of(",)", pos);
            if (end == std::string::npos)
                return false;
            std::string argument = TrimLeft(std::string_view(line).substr(pos, end - pos));
            if (!argument.empty())
                arguments.push_back(argument);
            pos = end + 1;
            if (line[end] == ')')
                break;
        }
        if (arguments.size() != d.parameters.size())
            return false;
        std::string value = d.value;
        for (size_t k = 0; k < arguments.size(); ++k)
            ReplaceWords(value, d.parameters[k], arguments[k]);
        line.replace(start, pos - start, value);
        if (line.size() > kMaxLineLength)
            return false;
        at = FindWholeWord(line, d.name, start + value.size() + 1);
    }
    return true;
}

bool Preprocessor::ReplaceMacros(std::string& line)
{
    for (int pass = 0; pass < kMaxMacroPasses; ++pass) {
        bool replaced = false;
        for (size_t k = 0; k < defines_.size(); ++k) {
            const TDefineEntry& d = defines_[k];
            if (d.value.empty() || d.name.empty())
                continue;
            if (d.parameters.empty()) {
                if (!ReplaceWords(line, d.name, d.value))
                    continue;
                replaced = true;
                if (line.size() > kMaxLineLength)
                    return false;
            } else if (!ReplaceCalls(line, d, replaced)) {
                return false;
            }
        }
        if (!replaced)
            return true;
    }
    return false; // a macro that keeps producing itself
}

void Preprocessor::ProcessText(std::string_view text, const std::string& fileName, int32_t lineOffset, int depth)
{
    File file{int32_t(result_.fileNames.size()), -lineOffset};
    result_.fileNames.push_back(fileName);
    const std::vector<std::string> lines = Lines(text);
    int level = 0, skipLevel = 0;
    bool skipping = false;
    for (size_t next = 0; next < lines.size();) {
        std::string line = lines[next++];
        ++file.line;
        std::string trimmed = Trim(line);
        if (skipping) {
            if (StartsWith(trimmed, "#ifdef") || StartsWith(trimmed, "#ifndef")) {
                ++level;
            } else if (StartsWith(trimmed, "#else")) {
                if (level == skipLevel + 1)
                    skipping = false;
            } else if (StartsWith(trimmed, "#endif")) {
                if (--level == skipLevel)
                    skipping = false;
            }
            continue;
        }
        if (trimmed.empty() || trimmed[0] != '#') {
            if (!ReplaceMacros(line))
                Fail(file);
            // An unterminated last line stays so, and an error at the end of the
            // text names that line instead of one past the line map.
            Write(line, file, depth > 0 || next < lines.size() || (!text.empty() && text.back() == '\n'));
        } else if (StartsWith(trimmed, "#define")) {
            Define(std::string_view(trimmed).substr(7), lines, next, file);
        } else if (StartsWith(trimmed, "#undef")) {
            if (TDefineEntry* d = Find(LeadingIdentifier(Trim(std::string_view(trimmed).substr(6)))))
                *d = {};
        } else if (StartsWith(trimmed, "#ifdef") || StartsWith(trimmed, "#ifndef")) {
            bool negate = StartsWith(trimmed, "#ifndef");
            bool defined = Find(LeadingIdentifier(Trim(std::string_view(trimmed).substr(negate ? 7 : 6)))) != nullptr;
            ++level;
            if (defined == negate) {
                skipping = true;
                skipLevel = level - 1;
            }
        } else if (StartsWith(trimmed, "#else")) {
            if (level > 0) {
                skipping = true;
                skipLevel = level - 1;
            }
        } else if (StartsWith(trimmed, "#endif")) {
            if (level > 0)
                --level;
        } else if (StartsWith(trimmed, "#include")) {
            bool once = StartsWith(trimmed, "#includeonce");
            std::string name = Trim(std::string_view(trimmed).substr(once ? 12 : 8));
            if (name.size() >= 2 &&
                ((name.front() == '<' && name.back() == '>') || (name.front() == '"' && name.back() == '"')))
                name = name.substr(1, name.size() - 2);
            if (name.empty())
                continue;
            Write("", file);
            if (once && std::find(result_.fileNames.begin(), result_.fileNames.end(), name) != result_.fileNames.end())
                continue;
            if (depth + 1 >= kMaxIncludeDepth || result_.fileNames.size() >= kMaxIncludedFiles) {
                Fail(file); // a file that includes itself
                continue;
            }
            ProcessText(readFile_(name), name, 0, depth + 1);
        }
    }
}

} // namespace

std::string ReadIncludeFile(const std::string& name)
{
    std::ifstream file(name, std::ios::binary);
    std::stringstream text;
    if (file)
        text << file.rdbuf();
    return text.str();
}

TPreprocessResult Preprocess(std::string_view source, const std::vector<TDefineEntry>& defines,
                             const std::string& fileName, int32_t prefixLineCount, const TIncludeReader& readFile)
{
    Preprocessor p(defines, prefixLineCount, readFile);
    p.ProcessText(source, fileName, prefixLineCount, 0);
    return p.Finish();
}

} // namespace kolvarin::script
