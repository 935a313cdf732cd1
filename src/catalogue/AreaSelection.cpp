#include "catalogue/AreaSelection.h"

#include <charconv>
#include <cstddef>
#include <optional>
#include <string_view>

#include "platform/PathText.h"
#include "platform/Prompts.h"
#include "platform/SpaceTrim.h"

namespace vrx {

namespace {

// A whole decimal number with spaces around it allowed; nullopt otherwise
// (an empty piece included).
std::optional<long long> ReadPosition(std::string_view piece) {
    piece = TrimSpaces(piece);
    if (!piece.empty() && piece.front() == '+') piece.remove_prefix(1);
    if (piece.empty()) return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
    if (error != std::errc() || end != piece.data() + piece.size()) return std::nullopt;
    return value;
}

const SceneryArea* RecordOf(const std::vector<SceneryArea>& areas, int item) {
    if (item < 0 || static_cast<std::size_t>(item) >= areas.size()) return nullptr;
    return &areas[static_cast<std::size_t>(item)];
}

// Unchecks the items one checked item's exclusions name.
bool SweepOne(AreaListView& list, std::string_view exclusions, int count) {
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = exclusions.find(',', start);
        const auto position = ReadPosition(exclusions.substr(start, comma - start));
        if (!position || *position < 1 || *position > count) return false;
        const int target = static_cast<int>(*position - 1);
        // Read at every piece: the focused item is the one never unchecked.
        if (target != list.FocusedIndex()) list.SetChecked(target, false);
        if (comma == std::string_view::npos) return true;
        start = comma + 1;
    }
}

}  // namespace

bool SweepExclusions(AreaListView& list, const std::vector<SceneryArea>& areas) {
    const int count = list.ItemCount();
    for (int item = 0; item < count; ++item) {
        if (!list.IsChecked(item)) continue;
        const SceneryArea* area = RecordOf(areas, item);
        if (area == nullptr || TrimSpaces(area->Exclusions).empty()) continue;
        if (!SweepOne(list, area->Exclusions, count)) return false;
    }
    return true;
}

namespace {

bool ShowFocusedAndSweep(AreaListView& list, const std::vector<SceneryArea>& areas, const std::string& mediaFolder) {
    const SceneryArea* focused = RecordOf(areas, list.FocusedIndex());
    if (focused == nullptr) return false;
    list.ShowDescription(focused->Description);
    // The picture is a file of the Media folder: a name that climbs out of it
    // is refused like a picture that does not load.
    if (HasParentComponent(focused->PreviewImage)) return false;
    if (!list.ShowPreview(mediaFolder + focused->PreviewImage)) return false;
    return SweepExclusions(list, areas);
}

}  // namespace

void UpdateAreaSelection(AreaListView& list, const std::vector<SceneryArea>& areas, const std::string& mediaFolder,
                         Prompts& prompts) {
    if (!ShowFocusedAndSweep(list, areas, mediaFolder)) prompts.message(kSelectionError);
}

}  // namespace vrx
