#include "catalogue/Catalogue.h"

#include <charconv>
#include <cstdint>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SpaceTrim.h"

namespace vrx {

namespace {

constexpr std::size_t kMaxBackupFolders = std::tuple_size_v<BackupFolderList>;

// Hands out the lines of the file in order and tells an honest end of file
// from a read that failed part-way.
class LineSource {
public:
    explicit LineSource(const TextLines& text) : text_(text) {}
    // The next line; nullptr when there is none.
    const std::string* next() { return pos_ < text_.lines.size() ? &text_.lines[pos_++] : nullptr; }
    bool readFailed() const { return !text_.complete; }

private:
    const TextLines& text_;
    std::size_t pos_ = 0;
};

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerCaseWord) {
    if (text.size() != lowerCaseWord.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != lowerCaseWord[i]) return false;
    }
    return true;
}

std::vector<std::string> SplitFields(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const auto bar = line.find('|', start);
        fields.emplace_back(line.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos) return fields;
        start = bar + 1;
    }
}

// The area count of line 1: a decimal 32-bit integer of at least 1, spaces around allowed.
std::optional<std::int32_t> ParseAreaCount(std::string_view line) {
    std::string_view digits = TrimSpaces(line);
    if (digits.starts_with('+')) digits.remove_prefix(1);
    std::int32_t count = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), count);
    if (digits.empty() || result.ec != std::errc() || result.ptr != digits.data() + digits.size()) return std::nullopt;
    if (count < 1) return std::nullopt;
    return count;
}

std::string DescriptionText(std::string_view field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 1 < field.size() && field[i + 1] == 'n') {
            text += "\r\n";
            ++i;
        } else {
            text += field[i];
        }
    }
    return text;
}

CatalogueLoadResult Corrupted() {
    return {std::nullopt, kCatalogueCorrupted};
}

}  // namespace

CatalogueLoadResult LoadCatalogue(FileSystem& fs, const std::string& appFolder, const std::string& catalogueFile) {
    if (!fs.isOrdinaryFile(catalogueFile)) return {std::nullopt, kCatalogueMissing};
    const auto text = fs.readTextLines(catalogueFile);
    if (!text) return Corrupted();
    LineSource source(*text);

    const std::string* line = source.next();
    const auto count = line ? ParseAreaCount(*line) : std::nullopt;
    if (!count) return Corrupted();

    // The table grows with the lines actually present: the count in line 1
    // is only a claim, and a huge one must not size anything.
    Catalogue catalogue;
    for (std::int32_t j = 0; j < *count; ++j) {
        line = source.next();
        if (!line) return Corrupted();
        const auto fields = SplitFields(*line);
        if (fields.size() < 3) return Corrupted();
        // Folders are joined below the AppFolder and the simulator folder, and
        // their files get overwritten: a ".." must not reach outside them.
        if (HasParentComponent(fields[2])) return Corrupted();
        std::string sourceFolder = DataPath(fields[2]);
        if (j > 0 && !fs.exists(JoinPath(appFolder, sourceFolder))) continue;
        if (fields.size() < 7 || HasParentComponent(fields[5])) return Corrupted();
        SceneryArea area;
        area.Name = fields[1];
        area.SourceFolder = std::move(sourceFolder);
        area.PreviewImage = fields[3];
        area.Exclusions = fields[4];
        area.TargetFolder = DataPath(fields[5]);
        area.Description = DescriptionText(fields[6]);
        catalogue.names.push_back(area.Name);
        catalogue.areas.push_back(std::move(area));
    }

    line = source.next();
    if (!line || !EqualsIgnoringCase(*line, "//backups")) return Corrupted();

    std::size_t k = 0;
    while ((line = source.next()) != nullptr) {
        if (EqualsIgnoringCase(*line, "//end")) return {std::move(catalogue), {}};
        if (k == kMaxBackupFolders) return Corrupted();
        const std::string_view folder = TrimSpaces(*line);
        if (HasParentComponent(folder)) return Corrupted();
        catalogue.backupSourceFolders[k++] = DataPath(folder);
    }
    if (source.readFailed()) return Corrupted();
    return {std::move(catalogue), {}};
}

std::string CatalogueFilePathFor(const std::string& appFolder) {
    return JoinCollapsed(appFolder, "vrx.cfg");
}

}  // namespace vrx
