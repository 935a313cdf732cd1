"""A sample update server for the demo: answers the program's update page
request on 127.0.0.1 with a small page that links to a second page and to
sample program files: one whose address ends in ".exe", one named only by
the link's download attribute and one named only by the server's answer,
so the information window can be tried without the maker's server. Never
listens beyond this machine.

    serve.py [PORT]    (0 or nothing: a free port)
Prints the server's address ("http://127.0.0.1:PORT") as its first line.
"""

import http.server
import sys
import urllib.parse

STYLE = "body{font-family:sans-serif;margin:24px;background:#f4f1e8;color:#203828}h1{font-size:22px}"


def page(title, body):
    return (f"<html><head><title>{title}</title><style>{STYLE}</style></head>"
            f"<body><h1>{title}</h1>{body}</body></html>").encode()


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        if url.path == "/updates.asp":
            version = query.get("version", ["?"])[0]
            product = query.get("id", ["?"])[0]
            self.answer(page("Verdantis X Norvane updates",
                             f"<p>You run version {version} of {product}.</p>"
                             "<p>Version 1.09 is available: sharper lowland textures, mended coastline shading.</p>"
                             "<p><a href='/files/vrx-update-1.09.exe'>Download the update (vrx-update-1.09.exe)</a></p>"
                             "<p><a download='vrx-tools-1.09.exe' href='/files/tools'>"
                             "Download the tools (vrx-tools-1.09.exe)</a></p>"
                             "<p><a href='/get.asp?file=3'>Download the coastline patch</a></p>"
                             "<p><a href='/notes.html'>Release notes</a></p>"))
        elif url.path == "/notes.html":
            self.answer(page("Release notes", "<ul><li>1.09: lowland textures sharpened.</li>"
                                              "<li>1.08: coastline shading mended.</li></ul>"))
        elif url.path == "/files/vrx-update-1.09.exe":
            self.answer(b"MZ sample update, not a real program\r\n", "application/octet-stream")
        elif url.path == "/files/tools":
            self.answer(b"MZ sample tools, not a real program\r\n", "application/octet-stream")
        elif url.path == "/get.asp" and query.get("file") == ["3"]:
            self.answer(b"MZ sample patch, not a real program\r\n", "application/octet-stream",
                        'attachment; filename="vrx-coast-1.09.exe"')
        else:
            self.send_error(404)

    def answer(self, body, kind="text/html; charset=utf-8", disposition=None):
        self.send_response(200)
        self.send_header("Content-Type", kind)
        if disposition:
            self.send_header("Content-Disposition", disposition)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def main():
    port = int(sys.argv[1]) if len(sys.argv) > 1 else 0
    server = http.server.HTTPServer(("127.0.0.1", port), Handler)
    print(f"http://127.0.0.1:{server.server_address[1]}", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
