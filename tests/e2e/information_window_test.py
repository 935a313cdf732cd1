"""The information window driven from outside, through the accessibility tree.

Run inside an X server and a D-Bus session, as tests/e2e/run-e2e does:
    information_window_test.py BUILD_DIR
Serves an update page on 127.0.0.1 from the test itself, opens Updates from
the sidebar, and checks the page's request, the window, its browser and its
three links as a screen reader sees them; "Exit" closes it. Tab goes along
the links, then into the page, and Escape closes the window from the page.
"""

import http.server
import sys
import threading
import unittest
import warnings

warnings.filterwarnings("ignore", category=DeprecationWarning)
import accessibility_test as e2e  # noqa: E402
import pyatspi  # noqa: E402

CAPTION = "Verdantis X Information"


class UpdatePage(http.server.BaseHTTPRequestHandler):
    requests = []

    def do_GET(self):
        UpdatePage.requests.append(self.path)
        body = b"<html><head><title>Updates</title></head><body><h1>Updates</h1></body></html>"
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def shown_windows(program, name):
    return [window for window in program.application if window is not None and window.name == name
            and window.getState().contains(pyatspi.STATE_SHOWING)]


class InformationWindowTest(e2e.ProgramTestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), UpdatePage)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.environment = {"VERDANTIS_UPDATE_SERVER": f"http://127.0.0.1:{cls.server.server_address[1]}"}

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()
        cls.server.server_close()

    def test_updates_opens_the_update_page_and_exit_closes_it(self):
        button = self.program.find(lambda node: node.name == "Updates")[0]
        e2e.do_action(button, "Press")
        window = e2e.wait_for("the information window", lambda: shown_windows(self.program, CAPTION))[0]
        self.assertEqual(window.getRole(), pyatspi.ROLE_DIALOG)
        # The page asked for with the program's id and version, shown in the window's browser.
        e2e.wait_for("the update page's request",
                     lambda: "/updates.asp?id=vrxnorvan&version=1.08" in UpdatePage.requests, timeout=60)
        self.assertTrue([node for node in e2e.descendants(window) if node.getRole() == pyatspi.ROLE_DOCUMENT_WEB])
        links = {}
        for caption in ("Exit", "<Back", "Forward>"):
            found = [node for node in e2e.descendants(window)
                     if node.name == caption and node.getRole() == pyatspi.ROLE_PUSH_BUTTON]
            self.assertEqual(len(found), 1, f"links named {caption!r}")
            self.assertIn("Press", e2e.actions(found[0]))
            links[caption] = found[0]
        # No page before the first: nothing happens, no message.
        e2e.do_action(links["<Back"], "Press")
        self.assertTrue(shown_windows(self.program, CAPTION))
        self.assertFalse(shown_windows(self.program, "Verdantis"))
        e2e.do_action(links["Exit"], "Press")
        e2e.wait_for("the information window to close", lambda: not shown_windows(self.program, CAPTION))

    def test_tab_goes_links_then_page_and_escape_closes_from_the_page(self):
        button = self.program.find(lambda node: node.name == "Updates")[0]
        e2e.do_action(button, "Press")
        window = e2e.wait_for("the information window", lambda: shown_windows(self.program, CAPTION))[0]
        e2e.wait_for("the update page's request",
                     lambda: "/updates.asp?id=vrxnorvan&version=1.08" in UpdatePage.requests, timeout=60)
        # The window opens on the page; Tab goes along the links from left to right, then back to the page.
        e2e.wait_for("the page to have the focus", lambda: focused_name(window) == "page", timeout=60)
        for name in ["<Back", "Forward>", "Exit", "page"]:
            e2e.press_keys(e2e.KEY_TAB)
            e2e.wait_for(f"{name!r} to have the focus", lambda: focused_name(window) == name)
        # Escape closes the window from the page too, as it closes every other window.
        e2e.press_keys(KEY_ESCAPE)
        e2e.wait_for("the information window to close", lambda: not shown_windows(self.program, CAPTION))


KEY_ESCAPE = 0xFF1B


def focused_name(window):
    """Which control of window has the keyboard focus: the focused link's
    name, else "page" when the browser's page says it has it (its document
    keeps saying so while a link has the focus), else None."""
    focused = []
    for node in e2e.descendants(window):
        try:
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                focused.append((node.getRole(), node.name))
        except Exception:
            continue
    links = [name for role, name in focused if role == pyatspi.ROLE_PUSH_BUTTON]
    if links:
        return links[0]
    return "page" if any(role == pyatspi.ROLE_DOCUMENT_WEB for role, _ in focused) else None


if __name__ == "__main__":
    if e2e.BUILD_DIR is None:
        sys.exit("usage: information_window_test.py BUILD_DIR")
    e2e.start_accessibility_bus()
    unittest.main(verbosity=2, warnings=False)
