#pragma once
// The install command: copies the checked areas' texture folders into the
// simulator, one history line per area not cancelled.

#include <string>
#include <vector>

#include "catalogue/Catalogue.h"

namespace vrx {

struct Session;

// The area list's rows as the command reads them (List1 in the window).
class AreaChecks {
public:
    virtual ~AreaChecks() = default;
    virtual int RowCount() const = 0;
    virtual bool IsChecked(int row) const = 0;
    virtual std::string RowText(int row) const = 0;
};

inline constexpr const char* kNothingSelected =
    "There are no scenery areas selected! Please click one of the checkboxes in the scenery list.";
inline constexpr const char* kFilesCopied = "Files successfully copied!";

// Returns false when refused because another long action is running.
bool InstallSelectedAreas(Session& session, const AreaChecks& rows, const std::vector<SceneryArea>& areas);

}  // namespace vrx
