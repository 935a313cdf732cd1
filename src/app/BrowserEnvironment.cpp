#include "app/BrowserEnvironment.h"

#include <QCoreApplication>
#include <QtGlobal>

#include "platform/linux/ProcessUser.h"

namespace vrx {

void PrepareBrowserEnvironment() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The browser's pages are composed by Qt Quick: its software renderer
    // needs no OpenGL at all.
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS")) {
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-gpu-compositing");
    }
    // Chromium's sandbox cannot run as root; as any other user it stays on.
    if (RunningAsRoot() && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
}

}  // namespace vrx
