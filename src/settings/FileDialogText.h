#pragma once
// The file dialog's text rules: the filter list in its request form, names
// cut at their first NUL, and the multi-selection result split into a
// folder and names.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Dialogs.h"

namespace vrx {

// The text up to, not including, its first NUL; the whole text when it holds none.
std::string TrimAtNull(std::string_view text);

// The request form of a filter text: every "|" and every ":" becomes a NUL,
// and two NULs are appended ("FSX.EXE|FSX.EXE" gives FSX.EXE NUL FSX.EXE NUL NUL).
std::string ConvertFilter(std::string_view sFilter);

// The description/pattern pairs of a request form, up to its first empty
// entry; a description without a pattern is dropped. Patterns are split at ";".
std::vector<FileFilter> FilterEntries(std::string_view requestForm);

// The text followed by two NULs, as the request holds a folder or an extension.
std::string WithDoubleNull(std::string_view text);

// Splits a multi-selection result (see CFileDialog::ParseMultiFileName);
// throws std::invalid_argument, changing nothing, when fileName holds no
// two consecutive NULs. lFileCount is read: names are counted on from it.
void ParseMultiFileName(std::string_view fileName, std::string& sDir, std::vector<std::string>& sFiles,
                        std::int32_t& lFileCount);

}  // namespace vrx
