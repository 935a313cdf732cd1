#pragma once
// The history file: one line per installation or backup action, appended to
// AppFolder/history.txt. Failures lose the entry silently and nothing else.

#include <ctime>
#include <string>

namespace vrx {

class Clock;
class FileSystem;

// The general date text of the user's regional settings (LC_TIME): the short
// date, a space, the long time; the date alone at exactly midnight.
// localeName "" means the user's own; "C", "POSIX" and "en_US*" give 12/8/2026 9:02:01 PM.
std::string GeneralDateText(const std::tm& when, const std::string& localeName = "");

class History {
public:
    History(FileSystem& fs, Clock& clock, std::string appFolder);

    // Appends line and CR LF to the history file; never reports a failure.
    void AddToHistory(const std::string& line);

    // The current time as GeneralDateText.
    std::string Timestamp();

    // Timestamp + kind + VersionText + tail, e.g. " - Installed version " ... " - " + name.
    std::string MakeLine(const std::string& kindText, const std::string& tail);

    std::string FilePath() const;

private:
    FileSystem& fs_;
    Clock& clock_;
    std::string appFolder_;
};

inline constexpr const char* kInstalledKind = " - Installed version ";
inline constexpr const char* kBackupKind = " - Backup Action ";

}  // namespace vrx
