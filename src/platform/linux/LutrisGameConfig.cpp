#include "platform/linux/LutrisGameConfig.h"

#include <utility>
#include <vector>

#include "platform/TextCodec.h"
#include "platform/linux/YamlQuotedLine.h"

namespace vrx {

namespace {

// Nesting deeper than this is refused; a game's file nests three levels.
constexpr int kMaxDepth = 64;

using Column = std::ptrdiff_t;

// Thrown for anything the reader refuses; caught once, at the top.
struct Refused {};

[[noreturn]] void Refuse() {
    throw Refused{};
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanksLeft(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view TrimBlanksRight(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

Column IndentOf(std::string_view line) {
    Column indent = 0;
    while (static_cast<std::size_t>(indent) < line.size() && line[static_cast<std::size_t>(indent)] == ' ') ++indent;
    return indent;
}

bool IsEmptyLine(std::string_view line) {
    return TrimBlanksLeft(line).empty();
}

bool IsCommentLine(std::string_view line) {
    const std::string_view text = TrimBlanksLeft(line);
    return !text.empty() && text.front() == '#';
}

bool IsDocumentMarker(std::string_view line) {
    return (line.starts_with("---") || line.starts_with("...")) && (line.size() == 3 || IsBlank(line[3]));
}

bool IsSequenceEntry(std::string_view text) {
    return !text.empty() && text.front() == '-' && (text.size() == 1 || text[1] == ' ');
}

// What may follow a complete value on its line: blanks, then a comment
// that a blank separates from the value.
void ExpectLineEnd(std::string_view rest) {
    const std::string_view text = TrimBlanksLeft(rest);
    if (text.empty()) return;
    if (text.size() < rest.size() && text.front() == '#') return;
    Refuse();
}

struct Line {
    Column indent = 0;
    std::string_view text;  // after the indentation
};

// What a key line holds: the key and the text after its ":".
struct KeyLine {
    std::string key;
    std::string_view rest;
};

std::optional<KeyLine> SplitKey(std::string_view text) {
    if (text.empty()) return std::nullopt;
    const char first = text.front();
    if (first == '"' || first == '\'') {
        // A quoted key on one line, then ":".
        std::string key;
        std::size_t keep = 0;
        std::size_t end = 0;
        const QuotedLineEnd how = ScanQuotedLine(text.substr(1), first, key, keep, end);
        if (how == QuotedLineEnd::Invalid) Refuse();
        if (how != QuotedLineEnd::Closed) return std::nullopt;
        const std::string_view after = TrimBlanksLeft(text.substr(1 + end));
        if (after.empty() || after.front() != ':' || (after.size() > 1 && after[1] != ' ')) return std::nullopt;
        return KeyLine{std::move(key), after.substr(1)};
    }
    if (std::string_view(",[]{}#&*!|>%@`").find(first) != std::string_view::npos) return std::nullopt;
    if ((first == '-' || first == '?' || first == ':') && (text.size() == 1 || IsBlank(text[1]))) return std::nullopt;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '\t') return std::nullopt;
        if (c == '#' && pos > 0 && IsBlank(text[pos - 1])) return std::nullopt;
        if (c == ':' && (pos + 1 == text.size() || text[pos + 1] == ' ')) {
            return KeyLine{std::string(TrimBlanksRight(text.substr(0, pos))), text.substr(pos + 1)};
        }
    }
    return std::nullopt;
}

// One line's part of a plain scalar: its text, and whether a comment ended it.
struct PlainPart {
    std::string_view text;
    bool commentFollows = false;
};

PlainPart ReadPlainPart(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '\t') Refuse();  // never written plain; a tab before "#" is an error in YAML
        if (c == ':' && (pos + 1 == text.size() || text[pos + 1] == ' ')) Refuse();  // a mapping inside a value
        if (c == '#' && pos > 0 && text[pos - 1] == ' ') return {TrimBlanksRight(text.substr(0, pos)), true};
    }
    return {TrimBlanksRight(text), false};
}

class GameConfigReader {
public:
    explicit GameConfigReader(std::string_view text) {
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t end = text.find('\n', start);
            std::string_view line =
                text.substr(start, end == std::string_view::npos ? text.size() - start : end - start);
            if (line.ends_with('\r')) line.remove_suffix(1);
            if (end == std::string_view::npos) {
                if (!line.empty()) lines_.push_back(line);
                break;
            }
            lines_.push_back(line);
            start = end + 1;
        }
    }

    std::optional<std::string> Read() {
        try {
            // One optional document start, before anything else.
            while (i_ < lines_.size() && (IsEmptyLine(lines_[i_]) || IsCommentLine(lines_[i_]))) ++i_;
            if (i_ < lines_.size() && TrimBlanksRight(lines_[i_]) == "---") ++i_;
            if (const Line* first = Next()) {
                ParseBlockNode(first->indent, -1, 0, Role::Document);
                if (Next() != nullptr) Refuse();
            }
        } catch (const Refused&) {
            return std::nullopt;
        }
        if (!prefix_ || prefix_->empty()) return std::nullopt;
        return prefix_;
    }

private:
    // What the node being read is to the reader.
    enum class Role { Other, Document, Game, Prefix };

    // The next line with content (empty and comment lines passed over), or null at the end.
    const Line* Next() {
        if (pending_) return &*pending_;
        while (i_ < lines_.size()) {
            const std::string_view raw = lines_[i_];
            if (IsEmptyLine(raw) || IsCommentLine(raw)) {
                ++i_;
                continue;
            }
            if (IsDocumentMarker(raw)) Refuse();
            const Column indent = IndentOf(raw);
            current_ = Line{indent, raw.substr(static_cast<std::size_t>(indent))};
            if (current_.text.front() == '\t') Refuse();  // tabs may not indent
            return &current_;
        }
        return nullptr;
    }

    void Consume() {
        if (pending_) {
            pending_.reset();
        } else {
            ++i_;
        }
    }

    // After a value that ends on its line, nothing may be nested below it.
    void ExpectNothingDeeper(Column parentIndent) {
        if (const Line* line = Next(); line != nullptr && line->indent > parentIndent) Refuse();
    }

    // The node whose first line, at indent, is next; parentIndent is that of its key or entry.
    void ParseBlockNode(Column indent, Column parentIndent, int depth, Role role) {
        if (depth > kMaxDepth) Refuse();
        const Line line = *Next();
        if (IsSequenceEntry(line.text)) {
            if (role == Role::Game || role == Role::Prefix) Refuse();
            ParseSequence(indent, depth);
        } else if (SplitKey(line.text)) {
            if (role == Role::Prefix) Refuse();
            ParseMapping(indent, depth, role);
        } else {
            Consume();  // a scalar on lines of its own
            ParseInlineValue(line.text, parentIndent, depth, role);
        }
    }

    void ParseMapping(Column indent, int depth, Role role) {
        bool sawKeyOfInterest = false;
        while (const Line* next = Next()) {
            if (next->indent != indent || IsSequenceEntry(next->text)) break;
            const Line line = *next;
            Consume();
            std::optional<KeyLine> entry = SplitKey(line.text);
            if (!entry) Refuse();
            Role child = Role::Other;
            if (role == Role::Document && entry->key == "game") child = Role::Game;
            if (role == Role::Game && entry->key == "prefix") child = Role::Prefix;
            if (child != Role::Other) {
                if (sawKeyOfInterest) Refuse();  // a key given twice: which one counts is a guess
                sawKeyOfInterest = true;
            }
            ParseValue(entry->rest, indent, depth + 1, child);
        }
        ExpectNothingDeeper(indent);
    }

    void ParseSequence(Column indent, int depth) {
        while (const Line* next = Next()) {
            if (next->indent != indent || !IsSequenceEntry(next->text)) break;
            const Line line = *next;
            Consume();
            const std::string_view rest = line.text.substr(1);
            std::size_t spaces = 0;
            while (spaces < rest.size() && rest[spaces] == ' ') ++spaces;
            const std::string_view item = rest.substr(spaces);
            if (item.empty() || item.front() == '#') {
                if (const Line* below = Next(); below != nullptr && below->indent > indent) {
                    ParseBlockNode(below->indent, indent, depth + 1, Role::Other);
                }
                continue;
            }
            if (item.front() == '\t') Refuse();
            if (IsSequenceEntry(item) || SplitKey(item)) {
                // A node that begins on the entry's line, at the item's column.
                pending_ = Line{indent + 1 + static_cast<Column>(spaces), item};
                ParseBlockNode(pending_->indent, indent, depth + 1, Role::Other);
                continue;
            }
            ParseInlineValue(item, indent, depth + 1, Role::Other);
        }
        ExpectNothingDeeper(indent);
    }

    // The value after a key's ":" (rest), the key at keyIndent.
    void ParseValue(std::string_view rest, Column keyIndent, int depth, Role role) {
        if (depth > kMaxDepth) Refuse();
        const std::string_view text = TrimBlanksLeft(rest);
        if (!text.empty() && text.front() != '#') {
            ParseInlineValue(text, keyIndent, depth, role);
            return;
        }
        const Line* below = Next();
        if (below != nullptr && below->indent > keyIndent) {
            ParseBlockNode(below->indent, keyIndent, depth, role);
        } else if (below != nullptr && below->indent == keyIndent && IsSequenceEntry(below->text)) {
            // A sequence written at its key's own indentation.
            if (role == Role::Game || role == Role::Prefix) Refuse();
            ParseSequence(keyIndent, depth);
        }
        // Otherwise null: no value.
    }

    // A value that begins within a line (text, never empty nor a comment).
    void ParseInlineValue(std::string_view text, Column parentIndent, int depth, Role role) {
        if (depth > kMaxDepth) Refuse();
        const char first = text.front();
        if (first == '"' || first == '\'') {
            TakeScalar(ReadQuoted(text, first, parentIndent), role);
            return;
        }
        if (first == '|' || first == '>') {
            if (role == Role::Game || role == Role::Prefix) Refuse();
            SkipBlockScalar(text, parentIndent);
            return;
        }
        if (text.starts_with("{}") || text.starts_with("[]")) {
            // An empty mapping is a game section without settings; nothing else is wanted empty.
            if (role == Role::Prefix || (role == Role::Game && first == '[')) Refuse();
            ExpectLineEnd(text.substr(2));
            ExpectNothingDeeper(parentIndent);
            return;
        }
        if (std::string_view("[]{},&*!%@`").find(first) != std::string_view::npos) Refuse();
        if ((first == '-' || first == '?' || first == ':') && (text.size() == 1 || IsBlank(text[1]))) Refuse();
        const std::string value = ReadPlain(text, parentIndent);
        // YAML's null; "~/..." is a path, and a lone "~" is written quoted when it is one.
        if (value == "~" || value == "null" || value == "Null" || value == "NULL") return;
        TakeScalar(value, role);
    }

    void TakeScalar(std::string value, Role role) {
        if (role == Role::Game) Refuse();  // a game section that is no mapping
        if (role == Role::Prefix) prefix_ = std::move(value);
    }

    // A plain scalar from text on, with its continuation lines folded: a
    // line break becomes a space, n empty lines between become n line breaks.
    std::string ReadPlain(std::string_view text, Column parentIndent) {
        PlainPart part = ReadPlainPart(text);
        std::string value(part.text);
        std::size_t breaks = 0;
        for (std::size_t at = i_; !part.commentFollows && at < lines_.size(); ++at) {
            const std::string_view raw = lines_[at];
            if (IsEmptyLine(raw)) {
                ++breaks;
                continue;
            }
            const Column indent = IndentOf(raw);
            if (indent <= parentIndent || IsDocumentMarker(raw)) break;
            const std::string_view line = raw.substr(static_cast<std::size_t>(indent));
            if (line.front() == '#') break;
            if (line.front() == '\t' || IsSequenceEntry(line)) Refuse();
            part = ReadPlainPart(line);
            value += breaks == 0 ? std::string(" ") : std::string(breaks, '\n');
            value += part.text;
            breaks = 0;
            i_ = at + 1;
        }
        ExpectNothingDeeper(parentIndent);
        return value;
    }

    // A '...' or "..." scalar from its opening quote, over as many lines as
    // it takes, folded as YAML folds them.
    std::string ReadQuoted(std::string_view text, char quote, Column parentIndent) {
        std::string value;
        std::size_t keep = 0;
        std::string_view line = text.substr(1);
        while (true) {
            std::size_t end = 0;
            const QuotedLineEnd how = ScanQuotedLine(line, quote, value, keep, end);
            if (how == QuotedLineEnd::Invalid) Refuse();
            if (how == QuotedLineEnd::Closed) {
                ExpectLineEnd(line.substr(end));
                ExpectNothingDeeper(parentIndent);
                return value;
            }
            // Blanks before a line break are dropped, except escaped ones.
            if (how == QuotedLineEnd::Open) {
                while (value.size() > keep && IsBlank(value.back())) value.pop_back();
            }
            std::size_t breaks = 0;
            while (true) {
                if (i_ >= lines_.size()) Refuse();  // never closed
                const std::string_view raw = lines_[i_++];
                if (IsDocumentMarker(raw)) Refuse();
                if (IsEmptyLine(raw)) {
                    ++breaks;
                    continue;
                }
                line = TrimBlanksLeft(raw);
                break;
            }
            if (how == QuotedLineEnd::EscapedBreak) {
                value.append(breaks, '\n');
            } else {
                value += breaks == 0 ? std::string(" ") : std::string(breaks, '\n');
            }
            keep = value.size();
        }
    }

    // A "|" or ">" scalar: its header, then its lines, all more indented
    // than its key. Only skipped: no value wanted here is written so.
    void SkipBlockScalar(std::string_view text, Column parentIndent) {
        std::size_t pos = 1;
        while (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
        if (pos < text.size() && text[pos] >= '1' && text[pos] <= '9') Refuse();  // explicit indentation: not written
        ExpectLineEnd(text.substr(pos));
        Column contentIndent = -1;
        while (i_ < lines_.size()) {
            const std::string_view raw = lines_[i_];
            if (IsEmptyLine(raw)) {
                ++i_;
                continue;
            }
            const Column indent = IndentOf(raw);
            if (indent <= parentIndent) break;
            if (contentIndent < 0) contentIndent = indent;
            if (indent < contentIndent) Refuse();
            ++i_;
        }
    }

    std::vector<std::string_view> lines_;
    std::size_t i_ = 0;
    Line current_;
    std::optional<Line> pending_;  // a node that begins on a sequence entry's line
    std::optional<std::string> prefix_;
};

// Bytes a YAML file may not hold, or that this reader does not take.
bool AcceptableBytes(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;  // old Mac line ends
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F) return false;
    }
    return ValidUtf8(text) == text;
}

}  // namespace

std::optional<std::string> ReadLutrisGamePrefix(std::string_view text) {
    if (text.size() > kMaxLutrisGameConfigText) return std::nullopt;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    if (!AcceptableBytes(text)) return std::nullopt;
    return GameConfigReader(text).Read();
}

std::optional<std::string> LutrisPrefixFolder(std::string_view value, const std::string& home) {
    if (value.find_first_of(std::string_view("\0\n\r", 3)) != std::string_view::npos) return std::nullopt;
    std::string folder;
    if (value == "~" || value.starts_with("~/")) {
        folder = home + std::string(value.substr(1));
    } else {
        folder = std::string(value);
    }
    if (folder.empty() || folder.front() != '/') return std::nullopt;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

}  // namespace vrx
