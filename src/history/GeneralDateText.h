#pragma once
// The pieces of GeneralDateText (declared in History.h) that tests reach
// without installed locales.

#include <string>
#include <string_view>

namespace vrx {

// The user's locale for dates: LC_ALL, else LC_TIME, else LANG (empty ones
// count as unset); "C" when none is set.
std::string UserTimeLocaleName();

// dateFormat with each two-digit year (%y) widened to four digits (%Y): the
// history shows the full year whatever the locale abbreviates.
std::string WidenYear(std::string_view dateFormat);

}  // namespace vrx
