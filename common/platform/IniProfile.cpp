#include "platform/IniProfile.h"

#include <unistd.h>

#include <algorithm>
#include <system_error>
#include <vector>

#include "core/Text.h"
#include "platform/AtomicFile.h"

namespace vtl::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct Line {
    std::string text;
    std::string eol;  // "\r\n", "\n", or "" for a last line without one
};

enum class Kind { Other, Comment, Section, Key };

struct LineInfo {
    Kind kind = Kind::Other;
    std::string name;
    std::string value;
    bool listed = true;  // whether key lists show the key
};

// As the platform reads lines: a line with "=" defines a key whatever it begins with, though
// keys beginning with ";" stay out of key lists; a ";" line without "=" is a comment.
LineInfo classify(std::string_view line) {
    std::string t = text::trimSpace(line);
    if (t.empty()) return {};
    size_t close = t.rfind(']');
    if (t[0] == '[' && close != std::string::npos) {
        // A header of blanks only ends the section before it but names none: the keys below it
        // belong to no section, and it is not listed.
        std::string_view inside = std::string_view(t).substr(1, close - 1);
        std::string name = text::trimSpace(inside);
        return {Kind::Section, name, {}, !name.empty() || inside.empty()};
    }
    size_t eq = t.find('=');
    if (eq == std::string::npos) return {t[0] == ';' ? Kind::Comment : Kind::Other, {}, {}};
    return {Kind::Key, text::trimSpace(t.substr(0, eq)), text::trimSpace(t.substr(eq + 1)),
            t[0] != ';'};
}

// One pair of matching outer quotes is not part of the value.
std::string unquote(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

struct SectionSpan {
    size_t header;
    size_t end;  // one past the section's last line
};

class Document {
  public:
    explicit Document(std::string_view content) {
        if (content.starts_with(kByteOrderMark)) {
            bom_ = true;
            content.remove_prefix(kByteOrderMark.size());
        }
        split(content);
    }

    std::string str() const {
        std::string out = bom_ ? std::string(kByteOrderMark) : std::string();
        for (const Line& line : lines_) out += line.text + line.eol;
        return out;
    }

    std::vector<std::string> sectionNames() const {
        std::vector<std::string> names;
        for (const Line& line : lines_) {
            LineInfo info = classify(line.text);
            if (info.kind == Kind::Section && info.listed) names.push_back(info.name);
        }
        return names;
    }

    std::vector<std::string> keyNames(const SectionSpan& span) const {
        std::vector<std::string> names;
        for (size_t i = span.header + 1; i < span.end; ++i) {
            LineInfo info = classify(lines_[i].text);
            if (info.kind == Kind::Key && info.listed) names.push_back(info.name);
        }
        return names;
    }

    std::optional<SectionSpan> findSection(std::string_view name) const {
        for (size_t i = 0; i < lines_.size(); ++i) {
            LineInfo info = classify(lines_[i].text);
            if (info.kind != Kind::Section || !info.listed || !text::iequals(info.name, name))
                continue;
            size_t end = i + 1;
            while (end < lines_.size() && classify(lines_[end].text).kind != Kind::Section) ++end;
            return SectionSpan{i, end};
        }
        return std::nullopt;
    }

    std::optional<size_t> findKey(const SectionSpan& span, std::string_view key) const {
        for (size_t i = span.header + 1; i < span.end; ++i) {
            LineInfo info = classify(lines_[i].text);
            if (info.kind == Kind::Key && text::iequals(info.name, key)) return i;
        }
        return std::nullopt;
    }

    std::optional<std::string> value(std::string_view section, std::string_view key) const {
        std::optional<SectionSpan> span = findSection(section);
        if (!span) return std::nullopt;
        std::optional<size_t> line = findKey(*span, key);
        if (!line) return std::nullopt;
        return unquote(classify(lines_[*line].text).value);
    }

    // A key that exists keeps its spelling and place; a new key goes after the last non-blank
    // line of its section, a new section at the end of the file.
    void set(std::string_view section, std::string_view key, std::string_view value) {
        std::string assignment = std::string(key) + "=" + std::string(value);
        std::optional<SectionSpan> span = findSection(section);
        if (!span) {
            insert(lines_.size(), "[" + std::string(section) + "]");
            insert(lines_.size(), assignment);
        } else if (std::optional<size_t> line = findKey(*span, key)) {
            lines_[*line].text = classify(lines_[*line].text).name + "=" + std::string(value);
        } else {
            size_t at = span->header + 1;
            for (size_t i = at; i < span->end; ++i) {
                if (!text::trimSpace(lines_[i].text).empty()) at = i + 1;
            }
            insert(at, assignment);
        }
    }

    bool removeSection(std::string_view section) {
        std::optional<SectionSpan> span = findSection(section);
        if (!span) return false;
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(span->header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(span->end));
        return true;
    }

    bool removeKey(std::string_view section, std::string_view key) {
        std::optional<SectionSpan> span = findSection(section);
        std::optional<size_t> line = span ? findKey(*span, key) : std::nullopt;
        if (!line) return false;
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
        return true;
    }

  private:
    void split(std::string_view content) {
        while (!content.empty()) {
            size_t nl = content.find('\n');
            if (nl == std::string_view::npos) {
                lines_.push_back({std::string(content), ""});
                break;
            }
            size_t end = nl > 0 && content[nl - 1] == '\r' ? nl - 1 : nl;
            lines_.push_back({std::string(content.substr(0, end)),
                              std::string(content.substr(end, nl + 1 - end))});
            content.remove_prefix(nl + 1);
        }
        auto withEol = std::find_if(lines_.begin(), lines_.end(),
                                    [](const Line& l) { return !l.eol.empty(); });
        newline_ = withEol == lines_.end() ? "\r\n" : withEol->eol;
    }

    void insert(size_t at, std::string text) {
        if (at > 0 && lines_[at - 1].eol.empty()) lines_[at - 1].eol = newline_;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                      {std::move(text), newline_});
    }

    std::vector<Line> lines_;
    std::string newline_;
    bool bom_ = false;
};

// The buffer filled with one text, cut to the buffer's size.
ProfileRead fill(std::string_view text, uint32_t bufferSize) {
    if (bufferSize == 0) return {};
    size_t n = std::min<size_t>(text.size(), bufferSize - 1);
    return {std::string(text.substr(0, n)) + '\0', static_cast<uint32_t>(n)};
}

// The buffer filled with a list of names; a list that does not fit loses its end and is closed
// with two NULs.
ProfileRead fillList(const std::vector<std::string>& names, uint32_t bufferSize) {
    std::string all;
    for (const std::string& name : names) all += name + '\0';
    if (all.size() < bufferSize) return {all + '\0', static_cast<uint32_t>(all.size())};
    if (bufferSize < 2) return fill("", bufferSize);
    return {all.substr(0, bufferSize - 2) + std::string(2, '\0'), bufferSize - 2};
}

bool breaksLines(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos;
}

bool validSection(std::string_view section) {
    return !text::trimSpace(section).empty() && !breaksLines(section);
}

// A key must read back as a key: not empty, no "=", not taken for a comment or a section.
bool validKey(std::string_view key) {
    std::string t = text::trimSpace(key);
    return !t.empty() && t.find('=') == std::string::npos && !breaksLines(key) &&
           std::string_view(";#[").find(t[0]) == std::string_view::npos;
}

}  // namespace

ProfileRead getPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, uint32_t bufferSize,
                                    const fs::path& file) {
    std::string fallback = text::trimRight(defaultValue);
    std::optional<std::string> content = readWholeFile(file);
    if (!content) return fill(fallback, bufferSize);  // the default, also for a list
    Document doc(*content);
    // The section list of a file never gives the default, even of an empty file; the key list
    // of a section without keys (or a missing one) gives it.
    if (section.empty()) return fillList(doc.sectionNames(), bufferSize);
    const std::string wanted = text::trimSpace(section);
    if (key.empty()) {
        std::optional<SectionSpan> span = doc.findSection(wanted);
        std::vector<std::string> names = span ? doc.keyNames(*span) : std::vector<std::string>();
        if (names.empty()) return fill(fallback, bufferSize);
        return fillList(names, bufferSize);
    }
    return fill(doc.value(wanted, key).value_or(fallback), bufferSize);
}

int32_t writePrivateProfileString(std::string_view section, std::optional<std::string_view> key,
                                  std::optional<std::string_view> value, const fs::path& file) {
    if (file.empty() || !validSection(section) || (key && !validKey(*key)) ||
        (value && breaksLines(*value))) {
        return 0;
    }
    try {
        std::error_code ec;
        bool exists = fs::exists(file, ec);
        if (ec) return 0;
        std::optional<std::string> content = exists ? readWholeFile(file) : std::string();
        if (!content || (exists && ::access(file.c_str(), W_OK) != 0)) return 0;
        Document doc(*content);
        const std::string name = text::trimSpace(section);
        bool changed = true;
        if (!key) {
            changed = doc.removeSection(name);
        } else if (!value) {
            changed = doc.removeKey(name, *key);
        } else {
            doc.set(name, *key, *value);
        }
        if (!changed) return 1;  // deleting what is not there
        return replaceFileContents(file, doc.str()) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

}  // namespace vtl::platform
