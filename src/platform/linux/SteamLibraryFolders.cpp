#include "platform/linux/SteamLibraryFolders.h"

#include <cstddef>

#include "platform/linux/CaseFold.h"

namespace vrx {

namespace {

constexpr int kMaxDepth = 16;

// A recursive-descent reader that always moves forward: each step either
// consumes input or fails, so it ends on any text; depth is bounded.
class VdfReader {
public:
    explicit VdfReader(std::string_view text) : text_(text) {}

    std::optional<std::vector<std::string>> Read() {
        skipSpace();
        auto root = quoted();
        if (!root || FoldCase(*root) != "libraryfolders") return std::nullopt;
        skipSpace();
        if (!body(1, true)) return std::nullopt;
        skipSpace();
        if (pos_ != text_.size()) return std::nullopt;
        return std::move(paths_);
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }

    void skipSpace() {
        while (!atEnd()) {
            const char c = text_[pos_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++pos_;
            } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
                while (!atEnd() && text_[pos_] != '\n') ++pos_;
            } else {
                return;
            }
        }
    }

    // A "..." string with the escapes \\ \" \n \t; nullopt when unterminated or badly escaped.
    std::optional<std::string> quoted() {
        if (atEnd() || text_[pos_] != '"') return std::nullopt;
        ++pos_;
        std::string value;
        while (!atEnd()) {
            const char c = text_[pos_++];
            if (c == '"') return value;
            if (c == '\n' || c == '\0') return std::nullopt;
            if (c != '\\') {
                value += c;
                continue;
            }
            if (atEnd()) return std::nullopt;
            switch (text_[pos_++]) {
                case '\\':
                    value += '\\';
                    break;
                case '"':
                    value += '"';
                    break;
                case 'n':
                    value += '\n';
                    break;
                case 't':
                    value += '\t';
                    break;
                default:
                    return std::nullopt;
            }
        }
        return std::nullopt;
    }

    static bool IsNumber(std::string_view key) {
        if (key.empty()) return false;
        for (const char c : key) {
            if (c < '0' || c > '9') return false;
        }
        return true;
    }

    // "{" (key (value | body))* "}". Libraries are the entries of the root's
    // body: a numbered key with a string value (the path), or a body whose
    // "path" key names it.
    bool body(int depth, bool isRoot, std::string* pathOfEntry = nullptr) {
        if (depth > kMaxDepth || atEnd() || text_[pos_] != '{') return false;
        ++pos_;
        while (true) {
            skipSpace();
            if (atEnd()) return false;
            if (text_[pos_] == '}') {
                ++pos_;
                return true;
            }
            auto key = quoted();
            if (!key) return false;
            skipSpace();
            if (atEnd()) return false;
            if (text_[pos_] == '{') {
                std::string path;
                if (!body(depth + 1, false, isRoot && IsNumber(*key) ? &path : nullptr)) return false;
                if (!path.empty()) paths_.push_back(std::move(path));
                continue;
            }
            auto value = quoted();
            if (!value) return false;
            if (isRoot && IsNumber(*key) && !value->empty()) paths_.push_back(std::move(*value));
            if (pathOfEntry != nullptr && FoldCase(*key) == "path") *pathOfEntry = std::move(*value);
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::vector<std::string> paths_;
};

}  // namespace

std::optional<std::vector<std::string>> ParseLibraryFolders(std::string_view text) {
    if (text.size() > kMaxLibraryFoldersText) return std::nullopt;
    return VdfReader(text).Read();
}

}  // namespace vrx
