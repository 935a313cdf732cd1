// The information window on the offscreen platform with its real browser
// (Qt WebEngine), against a small HTTP server on 127.0.0.1 started by the
// test: the update page's request, the program-file warning on links,
// queries and redirects, downloads into the user's download folder, and
// "<Back", "Forward>" and "Exit". Its own executable, so that the browser's
// start-up costs only these tests.

#include <QApplication>
#include <QCursor>
#include <QHostAddress>
#include <QLabel>
#include <QTcpServer>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/BrowserEnvironment.h"
#include "app/ElidedPathLabel.h"
#include "app/InformationWindow.h"
#include "app/LinkLabel.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "gui/GuiSupport.h"
#include "gui/LocalHttpServer.h"
#include "support/TempDir.h"

using vrx::test::AddonFolder;
using vrx::test::AreaLine;
using vrx::test::GuiPrompts;
using vrx::test::LocalHttpServer;
using vrx::test::TempDir;

namespace {

constexpr int kLoadTimeoutMs = 30000;
constexpr const char* kExeText =
    "You have clicked on an update that may require that you close this application prior to installing it. Click "
    "OK to continue with the download, or Cancel to cancel.";
constexpr const char* kUpdateTarget = "/updates.asp?id=vrxnorvan&version=1.08";
const QByteArray kSetupBytes("MZ\x90\x00 setup of version 1.09", 24);

const vrx::InterfaceColours kColours{0xD0E8F0, 0x283820, 0xE0F0E8, 0x40C0FF, 0x102010};

}  // namespace

class InformationWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> home;
    std::unique_ptr<LocalHttpServer> server;
    GuiPrompts prompts;
    std::unique_ptr<vrx::InformationWindow> window;

    std::string downloads() const { return *home / "Downloads"; }
    QString at(const char* target) const { return server->origin() + target; }
    QWebEngineView& view() { return window->browser(); }
    vrx::LinkLabel* link(int index) {
        return window->findChild<vrx::LinkLabel*>(QStringLiteral("lblSelect%1").arg(index));
    }
    // Opens the window on the update page and waits until it is shown.
    bool open() {
        window = std::make_unique<vrx::InformationWindow>(prompts, kColours, vrx::ProgramUpdatePageAddress());
        window->show();
        return QTest::qWaitForWindowExposed(window.get()) && loaded(kUpdateTarget);
    }
    // Waits until the browser shows target from the server.
    bool loaded(const char* target) {
        QSignalSpy finished(&view(), &QWebEngineView::loadFinished);
        const QUrl wanted(at(target));
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kLoadTimeoutMs) {
            if (view().url() == wanted && !view().page()->isLoading() && requested(target)) return true;
            QTest::qWait(20);
        }
        qWarning() << "shown:" << view().url() << "requests:" << server->requests;
        return false;
    }
    bool requested(const char* target) const { return server->requests.contains(QString::fromLatin1(target)); }
    // A mouse click on the page's element id, as the user's: a click of the
    // page's own script would carry no user gesture, and the browser skips
    // pages entered without one when going back.
    void clickElement(const char* id) {
        QVariant centre;
        view().page()->runJavaScript(
            QStringLiteral("(function(){var r=document.getElementById('%1').getBoundingClientRect();"
                           "return [Math.round(r.left+r.width/2),Math.round(r.top+r.height/2)];})()")
                .arg(id),
            [&centre](const QVariant& result) { centre = result; });
        QTRY_VERIFY_WITH_TIMEOUT(centre.isValid(), kLoadTimeoutMs);
        const QVariantList xy = centre.toList();
        QWidget* surface = view().focusProxy() != nullptr ? view().focusProxy() : &view();
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(xy.value(0).toInt(), xy.value(1).toInt()));
    }
    // Clicks element id until done() holds: a page takes input only once it
    // has been drawn, which can come a moment after it has loaded, and a
    // click before that is lost. Each click is given 3 s to show.
    void clickUntil(const char* id, const std::function<bool()>& done) {
        for (int attempt = 0; attempt < 5 && !done(); ++attempt) {
            clickElement(id);
            QElapsedTimer clock;
            clock.start();
            while (!done() && clock.elapsed() < 3000) QTest::qWait(20);
        }
    }
    bool prompted() const { return !prompts.shown.empty(); }
    void clickLink(int index) { QTest::mouseClick(link(index), Qt::LeftButton, {}, QPoint(4, 4)); }

private slots:
    void init() {
        prompts = GuiPrompts();
        home = std::make_unique<TempDir>();
        // The user's download folder, as the desktop's user-dirs.dirs names it.
        vrx::test::WriteFile(*home / "config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"" + downloads() + "\"\n");
        setenv("XDG_CONFIG_HOME", (*home / "config").c_str(), 1);
        server = std::make_unique<LocalHttpServer>();
        setenv("VERDANTIS_UPDATE_SERVER", server->origin().toUtf8().constData(), 1);
        server->page(kUpdateTarget,
                     "<html><body><h1>Updates</h1>"
                     "<p><a id='setup' href='/files/setup.exe'>setup.exe</a></p>"
                     "<p><a id='upper' href='/files/SETUP.EXE'>SETUP.EXE</a></p>"
                     "<p><a id='query' href='/get.asp?file=setup.exe'>by query</a></p>"
                     "<p><a id='redirect' href='/latest'>latest</a></p>"
                     "<p><a id='attribute' download href='/files/tool.exe'>tool</a></p>"
                     "<p><a id='named' download='named.exe' href='/files/tool'>named</a></p>"
                     "<p><a id='served' href='/get.asp?id=7'>served</a></p>"
                     "<p><a id='notes' download href='/files/notes.txt'>notes</a></p>"
                     "<p><a id='framed' href='/framed.html'>framed</a></p>"
                     "<p><a id='next' href='/page2.html'>next</a></p></body></html>");
        server->page("/page2.html", "<html><body><a id='next' href='/page3.html'>page 3</a></body></html>");
        server->page("/page3.html", "<html><body>page 3</body></html>");
        server->page("/framed.html",
                     "<html><body><iframe src='/frames/inner.exe'></iframe>"
                     "<a id='next' href='/page2.html'>next</a></body></html>");
        server->serve("/files/tool.exe", {"200 OK", "application/octet-stream", kSetupBytes, {}});
        // Program files whose addresses do not say so: the name comes from the
        // page's download attribute, or from the server.
        server->serve("/files/tool", {"200 OK", "application/octet-stream", kSetupBytes, {}});
        server->serve("/get.asp?id=7", {"200 OK", "application/octet-stream", kSetupBytes,
                                         "Content-Disposition: attachment; filename=\"served.exe\"\r\n"});
        server->serve("/files/notes.txt", {"200 OK", "text/plain", "release notes\r\n", {}});
        server->page("/files/SETUP.EXE", "<html><body>upper case</body></html>");
        server->serve("/files/setup.exe", {"200 OK", "application/octet-stream", kSetupBytes, {}});
        server->serve("/get.asp?file=setup.exe", {"200 OK", "application/octet-stream", kSetupBytes, {}});
        server->serve("/latest", {"302 Found", "text/html", {}, "Location: /files/setup.exe\r\n"});
    }
    void cleanup() {
        window.reset();
        server.reset();
        home.reset();
    }

    void opensTheUpdatePageWithIdAndVersion() {
        QVERIFY(open());
        QCOMPARE(window->objectName(), QString("Information_Form"));
        QCOMPARE(window->windowTitle(), QString("Verdantis X Information"));
        // 10320 x 7620 twips at 96 DPI; the browser above the link row.
        QCOMPARE(window->size(), QSize(688, 508));
        QCOMPARE(view().geometry(), QRect(0, 0, 688, 484));
        QCOMPARE(window->palette().color(QPalette::Window), QColor(0x20, 0x38, 0x28));
        const char* captions[] = {"Exit", "<Back", "Forward>"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(link(i)->text(), QString(captions[i]));
            QVERIFY(link(i)->width() >= link(i)->sizeHint().width());
            QVERIFY(window->rect().contains(link(i)->geometry()));
        }
        // "Exit" at the right end of the row, "<Back" at its left.
        QVERIFY(link(0)->x() > 600);
        QVERIFY(link(1)->x() < 10);
        QCOMPARE(server->requests.value(0), QString("/updates.asp?id=vrxnorvan&version=1.08"));
        QVERIFY(prompts.shown.empty());
    }

    void unreachableServerShowsTheBrowsersOwnErrorPage() {
        // A port nobody listens on any more.
        quint16 port = 0;
        {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
            port = closed.serverPort();
        }
        setenv("VERDANTIS_UPDATE_SERVER", qPrintable(QStringLiteral("http://127.0.0.1:%1").arg(port)), 1);
        window = std::make_unique<vrx::InformationWindow>(prompts, kColours, vrx::ProgramUpdatePageAddress());
        QSignalSpy finished(&view(), &QWebEngineView::loadFinished);
        window->show();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kLoadTimeoutMs);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QVERIFY(prompts.shown.empty());
        QVERIFY(window->isVisible());
        QCOMPARE(window->findChild<QLabel*>("lblDownload")->text(), QString());
    }

    void opensFromTheSidebar() {
        AddonFolder addon;
        addon.WriteMediaPictures();
        addon.WriteCatalogue({AreaLine(1)});
        vrx::Program program(addon.app(), vrx::ProgramServices{&prompts});
        QVERIFY(program.start());
        bool requestSeen = false;
        QString title;
        // Once the page has been asked for, close the window with "Exit".
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* shown = qobject_cast<vrx::InformationWindow*>(QApplication::activeModalWidget());
            if (shown == nullptr || !requested(kUpdateTarget)) return;
            poll.stop();
            requestSeen = true;
            title = shown->windowTitle();
            QTest::mouseClick(shown->findChild<QWidget*>("lblSelect0"), Qt::LeftButton, {}, QPoint(4, 4));
        });
        poll.start();
        QTimer::singleShot(kLoadTimeoutMs, &poll, [] {
            if (QWidget* w = QApplication::activeModalWidget()) w->close();
        });
        QTest::mouseClick(program.mainWindow().findChild<QWidget*>("Sidebar2"), Qt::LeftButton);
        QVERIFY(requestSeen);
        QCOMPARE(title, QString("Verdantis X Information"));
        QVERIFY(prompts.shown.empty());
    }

    void programFileLinks_data() {
        QTest::addColumn<QString>("element");
        QTest::addColumn<bool>("warned");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("fileTarget");
        QTest::newRow("exe, Cancel") << "setup" << true << false << "/files/setup.exe";
        QTest::newRow("exe in a query value, Cancel") << "query" << true << false << "/get.asp?file=setup.exe";
        QTest::newRow("redirect to exe, Cancel") << "redirect" << true << false << "/files/setup.exe";
        QTest::newRow("EXE in capitals, no warning") << "upper" << false << false << "/files/SETUP.EXE";
    }
    void programFileLinks() {
        QFETCH(QString, element);
        QFETCH(bool, warned);
        QFETCH(bool, answer);
        QFETCH(QString, fileTarget);
        QVERIFY(open());
        prompts.answers.push_back(answer);
        clickUntil(qPrintable(element), [&] { return warned ? prompted() : requested(qPrintable(fileTarget)); });
        if (warned) {
            QTRY_COMPARE_WITH_TIMEOUT(prompts.shown.size(), size_t(1), kLoadTimeoutMs);
            QCOMPARE(prompts.shown[0].text, std::string(kExeText));
            QCOMPARE(prompts.shown[0].title, std::string("Verdantis"));
            // Cancel: the page stays; a later link is followed as usual, and
            // by then no request for the program file has reached the server.
            QCOMPARE(view().url(), QUrl(at(kUpdateTarget)));
            clickUntil("next", [this] { return requested("/page2.html"); });
            QVERIFY(loaded("/page2.html"));
            QVERIFY2(!server->requests.contains(fileTarget), qPrintable(server->requests.join(' ')));
        } else {
            QVERIFY(loaded(qPrintable(fileTarget)));
            QVERIFY(prompts.shown.empty());
        }
        QCOMPARE(prompts.shown.size(), size_t(warned ? 1 : 0));
        QVERIFY(!std::filesystem::exists(downloads() + "/setup.exe"));
    }

    void exeLinkWithOkIsDownloadedIntoTheDownloadFolder() {
        QVERIFY(open());
        // A file of the same name from earlier stays as it is.
        vrx::test::WriteFile(downloads() + "/setup.exe", "older download");
        prompts.answers.push_back(true);
        clickUntil("setup", [this] { return prompted(); });
        const std::string saved = downloads() + "/setup (1).exe";
        auto* note = window->findChild<QLabel*>("lblDownload");
        QTRY_COMPARE_WITH_TIMEOUT(note->text(), QString::fromStdString("Download saved to " + saved), kLoadTimeoutMs);
        QCOMPARE(QByteArray::fromStdString(vrx::test::ReadFile(saved)), kSetupBytes);
        QCOMPARE(vrx::test::ReadFile(downloads() + "/setup.exe"), std::string("older download"));
        // Asked once: the download of the confirmed link is not asked about again.
        QCOMPARE(prompts.texts(), std::vector<std::string>{kExeText});
        QCOMPARE(prompts.unexpected, 0);
        QCOMPARE(view().url(), QUrl(at(kUpdateTarget)));
    }

    void frameWithAProgramFileIsAskedAbout() {
        QVERIFY(open());
        prompts.answers.push_back(false);
        clickUntil("framed", [this] { return requested("/framed.html"); });
        QVERIFY(loaded("/framed.html"));
        QTRY_COMPARE_WITH_TIMEOUT(prompts.shown.size(), size_t(1), kLoadTimeoutMs);
        QCOMPARE(prompts.shown[0].text, std::string(kExeText));
        clickUntil("next", [this] { return requested("/page2.html"); });
        QVERIFY(loaded("/page2.html"));
        QVERIFY(!requested("/frames/inner.exe"));
    }

    void downloadLinkIsAskedAboutBeforeAnythingIsSaved_data() {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("answer");
        // A link with a download attribute is no navigation: the question
        // comes with the download, before anything is saved. A name ending in
        // ".exe" is asked about whatever the address.
        QTest::newRow("exe address, Cancel") << "attribute" << "tool.exe" << false;
        QTest::newRow("exe address, OK") << "attribute" << "tool.exe" << true;
        QTest::newRow("named by the download attribute, Cancel") << "named" << "named.exe" << false;
        QTest::newRow("named by the download attribute, OK") << "named" << "named.exe" << true;
        QTest::newRow("named by the server, Cancel") << "served" << "served.exe" << false;
        QTest::newRow("named by the server, OK") << "served" << "served.exe" << true;
    }
    void downloadLinkIsAskedAboutBeforeAnythingIsSaved() {
        QFETCH(QString, element);
        QFETCH(QString, fileName);
        QFETCH(bool, answer);
        QVERIFY(open());
        prompts.answers.push_back(answer);
        clickUntil(qPrintable(element), [this] { return prompted(); });
        QTRY_COMPARE_WITH_TIMEOUT(prompts.shown.size(), size_t(1), kLoadTimeoutMs);
        QCOMPARE(prompts.shown[0].text, std::string(kExeText));
        QCOMPARE(prompts.shown[0].title, std::string("Verdantis"));
        auto* note = window->findChild<QLabel*>("lblDownload");
        const std::string saved = downloads() + "/" + fileName.toStdString();
        if (answer) {
            QTRY_COMPARE_WITH_TIMEOUT(note->text(), QString::fromStdString("Download saved to " + saved),
                                      kLoadTimeoutMs);
            QCOMPARE(QByteArray::fromStdString(vrx::test::ReadFile(saved)), kSetupBytes);
        } else {
            clickUntil("next", [this] { return requested("/page2.html"); });
            QVERIFY(loaded("/page2.html"));
            QCOMPARE(note->text(), QString());
            QVERIFY(!std::filesystem::exists(downloads()) || vrx::test::ListNames(downloads()).empty());
        }
        QCOMPARE(prompts.shown.size(), size_t(1));
    }

    void downloadOfAnotherFileIsNotAskedAbout() {
        QVERIFY(open());
        clickUntil("notes", [this] { return requested("/files/notes.txt"); });
        const std::string saved = downloads() + "/notes.txt";
        QTRY_COMPARE_WITH_TIMEOUT(window->findChild<QLabel*>("lblDownload")->text(),
                                  QString::fromStdString("Download saved to " + saved), kLoadTimeoutMs);
        QCOMPARE(vrx::test::ReadFile(saved), std::string("release notes\r\n"));
        QVERIFY(prompts.shown.empty());
    }

    // The notice of a download into a deep folder keeps its start and the
    // file's name, shortened between with "…"; the whole of it on hover.
    void aLongDownloadNoticeIsShortenedInTheMiddle() {
        const std::string deep = *home / "Downloads/Updates and patches for the flight simulator/Verdantis X Norvane";
        vrx::test::WriteFile(*home / "config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"" + deep + "\"\n");
        QVERIFY(open());
        clickUntil("notes", [this] { return requested("/files/notes.txt"); });
        auto* note = window->findChild<vrx::ElidedPathLabel*>("lblDownload");
        const QString whole = QString::fromStdString("Download saved to " + deep + "/notes.txt");
        QTRY_COMPARE_WITH_TIMEOUT(note->text(), whole, kLoadTimeoutMs);
        const QString shown = note->shownText();
        QVERIFY2(shown.startsWith(QStringLiteral("Download saved to /")), qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("…")), qPrintable(shown));
        QVERIFY2(shown.endsWith(QStringLiteral("Norvane/notes.txt")), qPrintable(shown));
        QVERIFY(note->fontMetrics().horizontalAdvance(shown) <= note->width());
        QCOMPARE(note->toolTip(), whole);
        QVERIFY(prompts.shown.empty());
    }

    void backRightAfterOpeningDoesNothing() {
        QVERIFY(open());
        const qsizetype asked = server->requests.size();
        clickLink(1);
        clickLink(2);
        QTest::qWait(500);
        QCOMPARE(view().url(), QUrl(at(kUpdateTarget)));
        QCOMPARE(server->requests.size(), asked);
        QCOMPARE(view().history()->count(), 1);
        QVERIFY(prompts.shown.empty());
        QVERIFY(window->isVisible());
    }

    void backAndForwardAcrossTwoPages() {
        QVERIFY(open());
        clickUntil("next", [this] { return requested("/page2.html"); });
        QVERIFY(loaded("/page2.html"));
        clickLink(1);
        QTRY_COMPARE_WITH_TIMEOUT(view().url(), QUrl(at(kUpdateTarget)), kLoadTimeoutMs);
        clickLink(2);
        QTRY_COMPARE_WITH_TIMEOUT(view().url(), QUrl(at("/page2.html")), kLoadTimeoutMs);
        // At the newest page "Forward>" does nothing.
        QTRY_VERIFY_WITH_TIMEOUT(!view().page()->isLoading(), kLoadTimeoutMs);
        clickLink(2);
        QTest::qWait(300);
        QCOMPARE(view().url(), QUrl(at("/page2.html")));
    }

    void doubleClickOnBackMovesTwoPages() {
        QVERIFY(open());
        clickUntil("next", [this] { return requested("/page2.html"); });
        QVERIFY(loaded("/page2.html"));
        clickUntil("next", [this] { return requested("/page3.html"); });
        QVERIFY(loaded("/page3.html"));
        // What a double click delivers: a press and release, then the double click and its release.
        const QPoint spot(4, 4);
        QTest::mousePress(link(1), Qt::LeftButton, {}, spot);
        QTest::mouseRelease(link(1), Qt::LeftButton, {}, spot);
        QTest::mouseDClick(link(1), Qt::LeftButton, {}, spot);
        QTest::mouseRelease(link(1), Qt::LeftButton, {}, spot);
        QTRY_COMPARE_WITH_TIMEOUT(view().url(), QUrl(at(kUpdateTarget)), kLoadTimeoutMs);
        QTest::qWait(300);
        QCOMPARE(view().url(), QUrl(at(kUpdateTarget)));
    }

    void exitClosesTheWindow() {
        QVERIFY(open());
        clickLink(0);
        QTRY_VERIFY(!window->isVisible());
    }

    // The focus as a screen reader announces it: the link's caption, or "page" for the browser.
    QString focusName() const {
        QWidget* focused = QApplication::focusWidget();
        if (focused == nullptr) return "none";
        if (auto* link = qobject_cast<vrx::LinkLabel*>(focused)) return link->text();
        for (QWidget* w = focused; w != nullptr; w = w->parentWidget()) {
            if (w == &window->browser()) return "page";
        }
        return focused->objectName().isEmpty() ? QString(focused->metaObject()->className()) : focused->objectName();
    }

    void escapeClosesTheWindowFromThePage() {
        QVERIFY(open());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        clickUntil("next", [this] { return requested("/page2.html"); });
        QVERIFY(loaded("/page2.html"));
        QTRY_COMPARE(focusName(), QString("page"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);
        QVERIFY(prompts.shown.empty());
    }

    // Tab goes "<Back", "Forward>", "Exit", then the page; from a page with
    // nothing of its own to focus it comes round to "<Back" again.
    void tabFollowsReadingOrder() {
        QVERIFY(open());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        clickUntil("next", [this] { return requested("/page2.html"); });
        QVERIFY(loaded("/page2.html"));
        clickUntil("next", [this] { return requested("/page3.html"); });
        QVERIFY(loaded("/page3.html"));
        link(1)->setFocus(Qt::TabFocusReason);
        QStringList order{focusName()};
        for (int i = 0; i < 4; ++i) {
            const QString before = focusName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTRY_VERIFY_WITH_TIMEOUT(focusName() != before, 5000);
            order << focusName();
        }
        QCOMPARE(order, (QStringList{"<Back", "Forward>", "Exit", "page", "<Back"}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTRY_COMPARE_WITH_TIMEOUT(focusName(), QString("page"), 5000);
    }

    void linksHoverAndTheTimerPutsThemAtRest() {
        QVERIFY(open());
        vrx::LinkLabel* exitLink = link(0);
        const QPoint onLink = exitLink->mapToGlobal(QPoint(4, 4));
        QCursor::setPos(onLink);
        QTest::mouseMove(exitLink, QPoint(4, 4));
        QVERIFY(exitLink->isHighlighted());
        QVERIFY(!link(1)->isHighlighted());
        // Resting on the link: the timer leaves the highlight.
        QTest::qWait(600);
        QVERIFY(exitLink->isHighlighted());
        // Up into the browser, which reports no movement: back at rest within the timer's period.
        QCursor::setPos(window->mapToGlobal(QPoint(300, 200)));
        QTRY_VERIFY_WITH_TIMEOUT(!exitLink->isHighlighted(), 1000);
    }
};

int main(int argc, char** argv) {
    vrx::PrepareBrowserEnvironment();
    QApplication app(argc, argv);
    InformationWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_informationwindow.moc"
