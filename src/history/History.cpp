#include "history/History.h"

#include "config/VersionText.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"

namespace vrx {

History::History(FileSystem& fs, Clock& clock, std::string appFolder)
    : fs_(fs), clock_(clock), appFolder_(std::move(appFolder)) {}

void History::AddToHistory(const std::string& line) {
    const std::string path = FilePath();
    // A read-only file refuses appending on Windows; root would otherwise write through it.
    const auto attributes = fs_.attributes(path);
    if (attributes && (*attributes & AttrReadOnly) != 0) return;
    fs_.appendTextLine(path, line);
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
