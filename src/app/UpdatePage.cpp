#include "app/UpdatePage.h"

#include "platform/Prompts.h"

namespace vrx {

namespace {

// The address as the user would see it typed, which is what the warning's rule reads.
std::string AddressText(const QUrl& url) {
    return url.toString().toStdString();
}

}  // namespace

UpdatePage::UpdatePage(Prompts& prompts, QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent), prompts_(prompts) {}

bool UpdatePage::confirm(const QString& address) {
    const std::string text = address.toStdString();
    if (!prompts_.askOkCancel(kExeWarning, kAppTitle)) return false;
    confirmations_.allowed(text);
    return true;
}

bool UpdatePage::acceptNavigationRequest(const QUrl& url, NavigationType, bool) {
    if (!confirmations_.navigationNeedsWarning(AddressText(url))) return true;
    return confirm(url.toString());
}

bool UpdatePage::confirmDownload(const QUrl& url, const std::string& fileName) {
    if (!confirmations_.downloadNeedsWarning(AddressText(url), fileName)) return true;
    return confirm(url.toString());
}

QWebEnginePage* UpdatePage::createWindow(WebWindowType) {
    return this;
}

}  // namespace vrx
