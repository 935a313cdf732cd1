#pragma once
// The user's answers to folder and file dialogs, from a script. Every
// request is recorded; a dialog with no answer left counts as unexpected and
// throws, which ends the click that opened it.

#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace vrx::test {

class ScriptedDialogs final : public Dialogs {
public:
    // nullopt answers a cancel.
    ScriptedDialogs& folder(std::optional<std::string> chosen) {
        folderAnswers.push_back(std::move(chosen));
        return *this;
    }
    ScriptedDialogs& file(std::optional<FileDialogAnswer> chosen) {
        fileAnswers.push_back(std::move(chosen));
        return *this;
    }

    std::optional<std::string> chooseFolder(const FolderDialogRequest& request) override {
        folderRequests.push_back(request);
        if (folderAnswers.empty()) {
            ++unexpected;
            throw std::runtime_error("unexpected folder dialog");
        }
        auto answer = folderAnswers.front();
        folderAnswers.pop_front();
        return answer;
    }
    std::optional<FileDialogAnswer> chooseFile(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        if (fileAnswers.empty()) {
            ++unexpected;
            throw std::runtime_error("unexpected file dialog");
        }
        auto answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }

    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<std::optional<FileDialogAnswer>> fileAnswers;
    std::vector<FolderDialogRequest> folderRequests;
    std::vector<FileDialogRequest> fileRequests;
    int unexpected = 0;
};

}  // namespace vrx::test
