"""The demo's update server: static files on 127.0.0.1 with byte ranges, each
connection held to a modest rate so that the download window has something to
show. Usage: demo_server.py DIRECTORY PORT BYTES_PER_SECOND"""
import http.server
import os
import re
import sys
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    rate = 0

    def do_GET(self):
        path = self.translate_path(self.path)
        if not os.path.isfile(path):
            return super().do_GET()
        with open(path, "rb") as f:
            data = f.read()
        wanted = re.fullmatch(r"bytes=(\d+)-", self.headers.get("Range", ""))
        start = int(wanted.group(1)) if wanted and int(wanted.group(1)) < len(data) else 0
        self.send_response(206 if start else 200)
        if start:
            self.send_header("Content-Range", f"bytes {start}-{len(data) - 1}/{len(data)}")
        self.send_header("Content-Length", str(len(data) - start))
        self.end_headers()
        step = 16384
        try:
            for at in range(start, len(data), step):
                self.wfile.write(data[at:at + step])
                time.sleep(step / self.rate)
        except OSError:
            pass

    def log_message(self, *args):
        pass


if __name__ == "__main__":
    directory, port, Handler.rate = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    os.chdir(directory)
    http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler).serve_forever()
