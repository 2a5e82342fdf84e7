#include "runtime/profile_text.h"

#include "runtime/gbk.h"

#include <vector>

namespace qr::runtime::profile {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The first ASCII byte c that is not the trailing byte of a double-byte
// character ("]" is a valid trailing byte).
size_t findAscii(std::string_view s, char c)
{
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == c)
            return i;
        if (isGbkLeadByte(static_cast<std::uint8_t>(s[i])))
            ++i;
    }
    return std::string_view::npos;
}

enum class LineKind { Other, Header, Comment, Key };

struct Line {
    size_t begin = 0; // first byte
    size_t end = 0;   // end of the text, before the line ending
    size_t next = 0;  // first byte of the next line
    LineKind kind = LineKind::Other;
    std::string_view name;  // header name or key
    std::string_view value; // raw value of a key line, after "="
};

std::vector<Line> splitLines(std::string_view content)
{
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < content.size()) {
        Line line;
        line.begin = pos;
        const size_t lf = content.find('\n', pos);
        if (lf == std::string_view::npos) {
            line.end = line.next = content.size();
        } else {
            line.end = (lf > pos && content[lf - 1] == '\r') ? lf - 1 : lf;
            line.next = lf + 1;
        }
        const std::string_view text = trimBlanks(content.substr(line.begin, line.end - line.begin));
        if (!text.empty() && text.front() == '[') {
            const size_t close = findAscii(text, ']');
            if (close != std::string_view::npos) {
                line.kind = LineKind::Header;
                line.name = trimBlanks(text.substr(1, close - 1));
            }
        } else if (!text.empty() && text.front() == ';') {
            line.kind = LineKind::Comment;
        } else if (const size_t eq = text.find('='); eq != std::string_view::npos) {
            const std::string_view key = trimBlanks(text.substr(0, eq));
            if (!key.empty()) {
                line.kind = LineKind::Key;
                line.name = key;
                line.value = text.substr(eq + 1);
            }
        }
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

// The lines [first, last) that make up one occurrence of a section: its header
// and the lines up to the next header.
struct SectionSpan {
    size_t header = 0;
    size_t last = 0;
};

std::vector<SectionSpan> findSections(const std::vector<Line>& lines, std::string_view section)
{
    std::vector<SectionSpan> spans;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != LineKind::Header || !sameName(lines[i].name, section))
            continue;
        size_t j = i + 1;
        while (j < lines.size() && lines[j].kind != LineKind::Header)
            ++j;
        spans.push_back({i, j});
    }
    return spans;
}

std::string_view unquote(std::string_view value)
{
    value = trimBlanks(value);
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
        value = value.substr(1, value.size() - 2);
    return value;
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

std::string_view lineEndingOf(std::string_view content)
{
    const size_t lf = content.find('\n');
    if (lf == std::string_view::npos)
        return "\r\n"; // a new file gets the platform's own line ending
    return (lf > 0 && content[lf - 1] == '\r') ? "\r\n" : "\n";
}

// Keeps a file that ended without a line break that way, and one that ended
// with a line break (or was empty) ending with one.
Text keepFinalLineBreak(Text text, bool hadFinalBreak, std::string_view eol)
{
    const bool hasFinalBreak = !text.empty() && text.back() == '\n';
    if (!hadFinalBreak && hasFinalBreak) {
        text.pop_back();
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
    } else if (hadFinalBreak && !text.empty() && !hasFinalBreak) {
        text += eol;
    }
    return text;
}

bool writable(std::string_view section, std::optional<std::string_view> key, std::optional<std::string_view> value)
{
    if (section.empty() || hasLineBreak(section) || findAscii(section, ']') != std::string_view::npos)
        return false;
    if (key) {
        if (key->empty() || hasLineBreak(*key) || key->find('=') != std::string_view::npos || key->front() == '[' ||
            key->front() == ';')
            return false;
    }
    return !(value && hasLineBreak(*value));
}

} // namespace

bool sameName(std::string_view a, std::string_view b)
{
    a = trimBlanks(a);
    b = trimBlanks(b);
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (isGbkLeadByte(static_cast<std::uint8_t>(a[i])) && i + 1 < a.size()) {
            // Both bytes exactly: a trailing byte may look like an ASCII letter.
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<Text> lookup(std::string_view content, std::string_view section, std::string_view key)
{
    const std::vector<Line> lines = splitLines(content);
    const std::vector<SectionSpan> spans = findSections(lines, section);
    if (spans.empty())
        return std::nullopt;
    for (size_t i = spans.front().header + 1; i < spans.front().last; ++i) {
        if (lines[i].kind == LineKind::Key && sameName(lines[i].name, key))
            return Text(unquote(lines[i].value));
    }
    return std::nullopt;
}

std::optional<Text> edit(std::string_view content, std::string_view section, std::optional<std::string_view> key,
                         std::optional<std::string_view> value)
{
    section = trimBlanks(section);
    if (key)
        key = trimBlanks(*key);
    if (!writable(section, key, value))
        return std::nullopt;

    const std::string_view eol = lineEndingOf(content);
    const bool hadFinalBreak = content.empty() || content.back() == '\n';
    const std::vector<Line> lines = splitLines(content);
    const std::vector<SectionSpan> spans = findSections(lines, section);

    // Each edit keeps some lines and replaces or drops others; build the result
    // from byte ranges of the original so untouched lines keep every byte.
    Text out;
    out.reserve(content.size() + section.size() + (key ? key->size() : 0) + (value ? value->size() : 0) + 16);
    auto copyLines = [&](size_t from, size_t to) {
        if (from < to)
            out.append(content.substr(lines[from].begin, lines[to - 1].next - lines[from].begin));
    };
    // A line appended after one that ends the file without a line break.
    auto ensureBreak = [&]() {
        if (!out.empty() && out.back() != '\n')
            out += eol;
    };

    if (!key) {
        size_t kept = 0;
        for (const SectionSpan& span : spans) {
            copyLines(kept, span.header);
            kept = span.last;
        }
        copyLines(kept, lines.size());
        return keepFinalLineBreak(std::move(out), hadFinalBreak, eol);
    }

    const Text newLine = value ? Text(*key) + "=" + Text(*value) : Text();
    if (spans.empty()) {
        if (!value)
            return Text(content);
        out.append(content);
        ensureBreak();
        out += "[" + Text(section) + "]" + Text(eol) + newLine + Text(eol);
        return keepFinalLineBreak(std::move(out), hadFinalBreak, eol);
    }

    const SectionSpan span = spans.front();
    if (!value) {
        // Delete every line of the key in this section, so no duplicate surfaces.
        size_t kept = 0;
        for (size_t i = span.header + 1; i < span.last; ++i) {
            if (lines[i].kind == LineKind::Key && sameName(lines[i].name, *key)) {
                copyLines(kept, i);
                kept = i + 1;
            }
        }
        if (kept == 0)
            return Text(content);
        copyLines(kept, lines.size());
        return keepFinalLineBreak(std::move(out), hadFinalBreak, eol);
    }

    for (size_t i = span.header + 1; i < span.last; ++i) {
        const Line& line = lines[i];
        if (line.kind == LineKind::Key && sameName(line.name, *key)) {
            // Only this line changes; the key keeps the spelling the file gave it.
            out.append(content.substr(0, line.begin));
            out += Text(line.name) + "=" + Text(*value);
            out.append(content.substr(line.end));
            return out;
        }
    }

    // A missing key goes after the section's last non-blank line, so blank lines
    // that separate it from the next section stay where they are.
    size_t after = span.header;
    for (size_t i = span.header + 1; i < span.last; ++i) {
        if (!trimBlanks(content.substr(lines[i].begin, lines[i].end - lines[i].begin)).empty())
            after = i;
    }
    const size_t insertAt = lines[after].next;
    out.append(content.substr(0, insertAt));
    ensureBreak();
    out += newLine + Text(eol);
    out.append(content.substr(insertAt));
    return keepFinalLineBreak(std::move(out), hadFinalBreak, eol);
}

} // namespace qr::runtime::profile
