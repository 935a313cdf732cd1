#include "app/BrowserEnvironment.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <cstdio>

#include "platform/linux/ProcessUser.h"
#include "platform/linux/SandboxNamespaces.h"

namespace vrx {

void PrepareBrowserEnvironment() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The browser's pages are composed by Qt Quick: its software renderer
    // needs no OpenGL at all.
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS")) {
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-gpu-compositing");
    }
    // Chromium's sandbox cannot run as root, nor where the system forbids
    // this program the namespaces it is made of (its helper processes would
    // fail to start, leaving the update page blank); elsewhere it stays on.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        if (RunningAsRoot()) {
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        } else if (!CanMakeSandboxNamespaces()) {
            std::fprintf(stderr,
                         "verdantis: this system does not let programs make the namespaces of Chromium's sandbox; "
                         "the update page is shown without it\n");
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        }
    }
}

}  // namespace vrx
