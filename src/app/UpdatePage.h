#pragma once
// The information window's browser page: every navigation (page, frame,
// redirect) to an address containing ".exe" is confirmed through the
// program's prompts first, and Cancel stops it before anything is fetched;
// so is every download saved under a name ending in ".exe".
// Links that ask for a new window open in this page, under the same rule.

#include <QWebEnginePage>
#include <string>

#include "info/ExeWarning.h"

namespace vrx {

class Prompts;

class UpdatePage final : public QWebEnginePage {
    Q_OBJECT
public:
    UpdatePage(Prompts& prompts, QWebEngineProfile* profile, QObject* parent = nullptr);

    // Whether a download of url, about to be saved as fileName, may go on:
    // asks when its address or its name makes it a program file that no
    // confirmed navigation led to.
    bool confirmDownload(const QUrl& url, const std::string& fileName);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    // Asks the program-file question for address; true to go on.
    bool confirm(const QString& address);

    Prompts& prompts_;
    ExeConfirmations confirmations_;
};

}  // namespace vrx
