#include "history/GeneralDateText.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>

#include "history/History.h"
#include "platform/TextCodec.h"

namespace vrx {

namespace {

bool IsMidnight(const std::tm& when) {
    return when.tm_hour == 0 && when.tm_min == 0 && when.tm_sec == 0;
}

bool HasPrefixName(const std::string& name, const std::string& base) {
    return name == base || name.starts_with(base + ".") || name.starts_with(base + "@");
}

// Locales whose dates read like United States English settings: M/d/yyyy h:mm:ss AM/PM.
bool UsesUnitedStatesForm(const std::string& name) {
    return HasPrefixName(name, "C") || name == "POSIX" || HasPrefixName(name, "en_US");
}

std::string UnitedStatesForm(const std::tm& when) {
    std::string text = std::to_string(when.tm_mon + 1) + "/" + std::to_string(when.tm_mday) + "/" +
                       std::to_string(when.tm_year + 1900);
    if (IsMidnight(when)) return text;
    const int hour12 = when.tm_hour % 12 == 0 ? 12 : when.tm_hour % 12;
    const auto twoDigits = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
    text += " " + std::to_string(hour12) + ":" + twoDigits(when.tm_min) + ":" + twoDigits(when.tm_sec);
    text += when.tm_hour < 12 ? " AM" : " PM";
    return text;
}

std::string FormatTime(const std::tm& when, const std::string& format, locale_t locale) {
    if (format.empty()) return {};
    char buffer[256];
    const std::size_t length = strftime_l(buffer, sizeof buffer, format.c_str(), &when, locale);
    return std::string(buffer, length);
}

std::string LocaleForm(const std::tm& when, const std::string& name) {
    locale_t locale = newlocale(LC_TIME_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) return UnitedStatesForm(when);
    std::string text = FormatTime(when, WidenYear(nl_langinfo_l(D_FMT, locale)), locale);
    const std::string time = IsMidnight(when) ? "" : FormatTime(when, nl_langinfo_l(T_FMT, locale), locale);
    if (!time.empty()) text += " " + time;
    freelocale(locale);
    // The history file is Windows-1252: a text it cannot hold would lose every entry.
    if (text.empty() || !EncodeWindows1252(text)) return UnitedStatesForm(when);
    return text;
}

}  // namespace

std::string UserTimeLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return value;
    }
    return "C";
}

std::string WidenYear(std::string_view dateFormat) {
    std::string result;
    for (std::size_t i = 0; i < dateFormat.size(); ++i) {
        result += dateFormat[i];
        if (dateFormat[i] != '%' || i + 1 >= dateFormat.size()) continue;
        const char conversion = dateFormat[++i];
        result += conversion == 'y' ? 'Y' : conversion;
    }
    return result;
}

std::string GeneralDateText(const std::tm& when, const std::string& localeName) {
    const std::string name = localeName.empty() ? UserTimeLocaleName() : localeName;
    return UsesUnitedStatesForm(name) ? UnitedStatesForm(when) : LocaleForm(when, name);
}

}  // namespace vrx
