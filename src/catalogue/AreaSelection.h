#pragma once
// What a click on the area list does: the focused area's description and
// preview, then the exclusion sweep that unchecks areas excluded by checked
// ones. The window provides the list through AreaListView.

#include <string>
#include <vector>

#include "catalogue/Catalogue.h"

namespace vrx {

class Prompts;

// The area list and the two controls that describe the focused area.
class AreaListView {
public:
    virtual ~AreaListView() = default;
    virtual int FocusedIndex() const = 0;
    virtual int ItemCount() const = 0;
    virtual bool IsChecked(int item) const = 0;
    virtual void SetChecked(int item, bool checked) = 0;
    virtual void ShowDescription(const std::string& text) = 0;
    // Replaces the preview with the picture file at path; false when it cannot be loaded.
    virtual bool ShowPreview(const std::string& path) = 0;
};

inline constexpr const char* kSelectionError =
    "There was an error in the item selection. Your verdantis.cfg file may be invalid!";

// The sweep alone: every checked item unchecks the 1-based positions its
// exclusions name, except the focused item. False at the first piece that is
// not a number or names no item; what was unchecked before stays unchecked.
bool SweepExclusions(AreaListView& list, const std::vector<SceneryArea>& areas);

// Description, preview (mediaFolder + PreviewImage), sweep. On a failure the
// rest is skipped and kSelectionError is shown; work done before it stays.
void UpdateAreaSelection(AreaListView& list, const std::vector<SceneryArea>& areas, const std::string& mediaFolder,
                         Prompts& prompts);

}  // namespace vrx
