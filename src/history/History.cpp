#include "history/History.h"

#include "config/VersionText.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"

namespace vrx {

History::History(FileSystem& fs, Clock& clock, std::string appFolder)
    : fs_(fs), clock_(clock), appFolder_(std::move(appFolder)) {}

void History::AddToHistory(const std::string& line) {
    // The file system refuses a read-only file as Windows does; the entry is then lost, and nothing else.
    fs_.appendTextLine(FilePath(), line);
}

std::string History::Timestamp() {
    return GeneralDateText(clock_.localNow());
}

std::string History::MakeLine(const std::string& kindText, const std::string& tail) {
    return Timestamp() + kindText + ProgramVersionText() + tail;
}

std::string History::FilePath() const {
    return JoinCollapsed(appFolder_, "history.txt");
}

}  // namespace vrx
