"""Shared pieces of the end-to-end tests: a scriptable HTTP server on
127.0.0.1 that records what it was asked, and throwaway run directories."""
import io
import os
import re
import shutil
import socket
import socketserver
import subprocess
import tempfile
import threading
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.environ.get("UPDATER_BUILD", os.path.join(ROOT, "build"))


def gbk(text):
    return text.encode("gbk")


def manifest(version="2.0", address="http://127.0.0.1/package.zip", notes="修复了若干问题\\r\\新增功能"):
    return gbk('<?xml version="1.0" encoding="gb2312"?>\r\n<最新版本>\r\n'
               f'  <版本信息 版本号="{version}" 下载地址="{address}" 升级说明="{notes}"/>\r\n</最新版本>\r\n')


def package(files):
    """A ZIP package of {name: bytes}, as a publisher's archiver writes it."""
    data = io.BytesIO()
    with zipfile.ZipFile(data, "w", zipfile.ZIP_DEFLATED) as z:
        for name, content in files.items():
            entry = zipfile.ZipInfo(name, date_time=(2026, 12, 1, 12, 0, 0))
            entry.create_system = 3  # made on Unix: the modes below count
            entry.external_attr = (0o100755 if name.endswith(".exe") else 0o100644) << 16
            z.writestr(entry, content, zipfile.ZIP_DEFLATED)
    return data.getvalue()


def settings(address, version="1.0"):
    return gbk(f"[更新]\r\n地址={address}\r\n版本号={version}\r\n")


class Route:
    """What the server answers for one path: a status, a body, and how to end."""

    def __init__(self, body=b"", status=200, headers=None, cut_after=None, location=None, ranges=False, rate=None,
                 later_status=None):
        self.body, self.status, self.headers = body, status, headers or {}
        self.cut_after = cut_after  # close after this many body bytes, announcing the whole length
        self.ranges = ranges        # answer "Range: bytes=N-" with 206
        self.rate = rate            # bytes per second and connection, or as fast as it goes
        self.later_status = later_status  # every request after the first gets this status
        self.served = 0
        if location:
            self.headers["Location"] = location


class Server:
    """HTTP/1.0 server on 127.0.0.1 that answers from a table of routes and keeps
    the raw bytes of every request head."""

    def __init__(self):
        self.routes = {}
        self.requests = []
        outer = self

        class Handler(socketserver.BaseRequestHandler):
            def handle(self):
                head = b""
                while b"\r\n\r\n" not in head:
                    chunk = self.request.recv(4096)
                    if not chunk:
                        return
                    head += chunk
                head = head.split(b"\r\n\r\n")[0]
                outer.requests.append(head)
                path = head.split(b" ")[1].decode("latin-1")
                route = outer.routes.get(path, Route(b"<html>not found</html>", 404))
                status, body, extra = route.status, route.body, []
                route.served += 1
                if route.later_status and route.served > 1:
                    status, body = route.later_status, b"gone"
                wanted = re.search(rb"\r\nRange: bytes=(\d+)-", head)
                if route.ranges and status == 200 and wanted and int(wanted.group(1)) < len(body):
                    start = int(wanted.group(1))
                    status, body = 206, body[start:]
                    extra = [f"Content-Range: bytes {start}-{len(route.body) - 1}/{len(route.body)}"]
                reason = {200: "OK", 206: "Partial", 301: "Moved", 302: "Found", 404: "Not Found"}.get(status, "X")
                lines = [f"HTTP/1.0 {status} {reason}", f"Content-Length: {len(body)}"] + extra
                lines += [f"{k}: {v}" for k, v in route.headers.items()]
                self.request.sendall(("\r\n".join(lines) + "\r\n\r\n").encode("latin-1"))
                if route.cut_after is not None:
                    body = body[: route.cut_after]
                step = 4096
                try:
                    for at in range(0, len(body), step):
                        self.request.sendall(body[at:at + step])
                        if route.rate:
                            time.sleep(step / route.rate)  # the server is slow, on purpose
                except OSError:
                    pass

        class Threaded(socketserver.ThreadingMixIn, socketserver.TCPServer):
            daemon_threads = True
            allow_reuse_address = True

        self.server = Threaded(("127.0.0.1", 0), Handler)
        self.port = self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def url(self, path):
        return f"http://127.0.0.1:{self.port}{path}"

    def close(self):
        self.server.shutdown()
        self.server.server_close()


def refused_port():
    """A port on 127.0.0.1 where nothing listens."""
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


class RunDir:
    """A throwaway run directory with the updater, a stand-in companion and,
    when given, update.ini."""

    def __init__(self, updater, companion, ini=None, parent=None, name="run"):
        self.top = tempfile.mkdtemp(prefix="updater-e2e-", dir=parent)
        self.path = os.path.join(self.top, name)
        os.makedirs(self.path)
        self.exe = os.path.join(self.path, os.path.basename(updater))
        shutil.copy2(updater, self.exe)
        if companion:
            shutil.copy2(companion, os.path.join(self.path, "Velmora.exe"))
        if ini is not None:
            with open(os.path.join(self.path, "update.ini"), "wb") as f:
                f.write(ini)

    def file(self, name):
        return os.path.join(self.path, name)

    def snapshot(self):
        """Every file of the run directory with its bytes (the companion's record aside)."""
        files = {}
        for folder, _, names in os.walk(self.path):
            for name in names:
                full = os.path.join(folder, name)
                if name != "companion-started.txt":
                    with open(full, "rb") as f:
                        files[os.path.relpath(full, self.path)] = f.read()
        return files

    def companion_runs(self, expected=0, timeout=20):
        """Command lines the companion was started with, one per start. The
        updater does not wait for the companion, so wait for the `expected`
        number of starts to be recorded."""
        deadline = time.monotonic() + timeout
        while len(self._runs()) < expected and time.monotonic() < deadline:
            time.sleep(0.05)
        return self._runs()

    def _runs(self):
        try:
            with open(self.file("companion-started.txt"), "rb") as f:
                return f.read().decode("latin-1").splitlines()
        except FileNotFoundError:
            return []

    def remove(self):
        shutil.rmtree(self.top, ignore_errors=True)


class Nginx:
    """nginx on 127.0.0.1 serving `root`, for the normal case and the bench;
    `limit_rate` holds each connection to that rate (for example "25m")."""

    def __init__(self, root, limit_rate=None):
        self.top = tempfile.mkdtemp(prefix="updater-nginx-")
        self.port = refused_port()
        rate = f"limit_rate {limit_rate};" if limit_rate else ""
        user = "user root;" if os.geteuid() == 0 else ""
        conf = os.path.join(self.top, "nginx.conf")
        with open(conf, "w") as f:
            f.write(f"""{user}
daemon off;
worker_processes 2;
pid {self.top}/nginx.pid;
error_log {self.top}/error.log;
events {{ worker_connections 256; }}
http {{
    access_log off;
    sendfile on;
    client_body_temp_path {self.top}/body;
    proxy_temp_path {self.top}/proxy;
    fastcgi_temp_path {self.top}/fastcgi;
    uwsgi_temp_path {self.top}/uwsgi;
    scgi_temp_path {self.top}/scgi;
    server {{
        listen 127.0.0.1:{self.port};
        root {root};
        {rate}
    }}
}}
""")
        self.process = subprocess.Popen(["nginx", "-c", conf, "-p", self.top], stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while True:
            try:
                socket.create_connection(("127.0.0.1", self.port)).close()
                break
            except OSError:
                if time.monotonic() > deadline or self.process.poll() is not None:
                    raise RuntimeError("nginx did not start")
                time.sleep(0.02)

    def url(self, path):
        return f"http://127.0.0.1:{self.port}{path}"

    def close(self):
        self.process.terminate()
        self.process.wait()
        shutil.rmtree(self.top, ignore_errors=True)


class UpdateChecks:
    """What the Linux and the Windows update tests share. The test class
    provides `server`, `publish`, `run_dir`, `accept_and_wait` (start, answer
    OK, exit code) and `companion` (the stand-in for the platform)."""

    def new_version(self, assets, extra=None):
        """The files of version 2.0: the companion again, assets, update.ini saying 2.0."""
        with open(self.companion, "rb") as f:
            files = {"Velmora.exe": f.read(), "data/assets.bin": os.urandom(assets),
                     "update.ini": settings(self.server.url("/m.xml"), version="2.0")}
        files.update(extra or {})
        return files

    def publish_package(self, files, **route):
        self.server.routes["/package.zip"] = Route(package(files), **route)
        self.publish(manifest(address=" " + self.server.url("/package.zip") + " "))  # spaces are trimmed

    def assert_installed(self, d, files, kept=None):
        now = d.snapshot()
        for name, content in files.items():
            self.assertTrue(now.get(name) == content, f"{name} not installed")
        for name, content in (kept or {}).items():
            self.assertTrue(now.get(name) == content, f"{name} not kept")
        self.assertFalse(os.path.exists(d.file("temp.zip")))
        self.assertFalse(os.path.exists(d.file("temp")))
        self.assertEqual(len(d.companion_runs(1)), 1)

    def check_damaged_and_cut_packages(self):
        """Neither changes a byte of the program directory."""
        good = package(self.new_version(100_000))
        damaged = bytearray(good)
        damaged[200] ^= 0xFF  # inside the first entry's data: its CRC no longer matches
        cases = {"damaged": Route(bytes(damaged)),
                 "cut half way, then refused": Route(good, cut_after=len(good) // 2, later_status=500)}
        for name, route in cases.items():
            with self.subTest(name):
                self.server.routes["/package.zip"] = route
                self.publish(manifest(address=self.server.url("/package.zip")))
                d = self.run_dir(settings(self.server.url("/m.xml")))
                before = d.snapshot()
                self.assertEqual(self.accept_and_wait(d), 0)
                self.assertTrue(d.snapshot() == before, "the program directory changed")
                self.assertFalse(os.path.exists(d.file("temp")))
                self.assertEqual(len(d.companion_runs(1)), 1)

    def check_running_updater_in_the_package(self, own_name):
        files = self.new_version(50_000, {own_name: b"not the updater"})
        self.publish_package(files)
        d = self.run_dir(settings(self.server.url("/m.xml")))
        with open(d.exe, "rb") as f:
            own = f.read()
        self.assertEqual(self.accept_and_wait(d), 0)
        del files[own_name]
        self.assert_installed(d, files, {own_name: own})
