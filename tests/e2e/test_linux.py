"""End-to-end tests of the Linux binary, driven through a pseudo-terminal as a
person at a terminal would drive it."""
import os
import pty
import select
import shutil
import signal
import subprocess
import tempfile
import termios
import time
import unittest

from harness import BUILD, Nginx, RunDir, Route, Server, UpdateChecks, manifest, package, refused_port, settings

LINUX = os.path.join(BUILD, "linux")
UPDATER = os.path.join(LINUX, "update")
HOOKS = os.path.join(LINUX, "tests", "update_hooks")
COMPANION = os.path.join(LINUX, "tests", "companion")
TIMEOUT = 20


class Terminal:
    """The updater on a pseudo-terminal of its own: read what it shows, press keys."""

    def __init__(self, exe, env=None):
        self.output = b""
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.closerange(3, 4096)  # the updater starts with no descriptor of the test's
            os.execve(exe, [exe], dict(os.environ, **(env or {})))
        self.status = None

    def _read(self, timeout):
        ready, _, _ = select.select([self.fd], [], [], timeout)
        if not ready:
            return False
        try:
            data = os.read(self.fd, 65536)
        except OSError:
            return False
        self.output += data
        return bool(data)

    def text(self):
        return self.output.decode("utf-8", "replace")

    def expect(self, text):
        deadline = time.monotonic() + TIMEOUT
        while text not in self.text():
            if time.monotonic() > deadline or not self._read(0.2) and self._exited():
                raise AssertionError(f"{text!r} never shown; the terminal shows:\n{self.text()}")
        return self.text()

    def press(self, keys):
        os.write(self.fd, keys)

    def _exited(self):
        if self.status is None:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                self.status = status
        return self.status is not None

    def wait(self):
        """Exit code, once the process has ended (its output drained)."""
        deadline = time.monotonic() + TIMEOUT
        while not self._exited():
            self._read(0.1)
            if time.monotonic() > deadline:
                os.kill(self.pid, signal.SIGKILL)
                raise AssertionError("the updater did not end:\n" + self.text())
        while self._read(0.05):
            pass
        return os.waitstatus_to_exitcode(self.status)

    def modes(self):
        return termios.tcgetattr(self.fd)[3]  # local modes of the terminal the updater leaves

    def close(self):
        if not self._exited():
            os.kill(self.pid, signal.SIGKILL)
            os.waitpid(self.pid, 0)
        os.close(self.fd)


def run_without_terminal(exe, timeout=TIMEOUT):
    """Runs with no controlling terminal at all (a new session, no tty)."""
    done = subprocess.run([exe], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          start_new_session=True, timeout=timeout)
    return done.returncode


class LinuxCase(unittest.TestCase):
    def setUp(self):
        self.server = Server()
        self.dirs = []

    def tearDown(self):
        self.server.close()
        for d in self.dirs:
            d.remove()

    def run_dir(self, ini=None, exe=UPDATER, companion=COMPANION):
        d = RunDir(exe, companion, ini)
        self.dirs.append(d)
        return d

    def publish(self, body=None, **route):
        self.server.routes["/m.xml"] = Route(manifest() if body is None else body, **route)
        return self.server.url("/m.xml")

    def terminal(self, exe, env=None):
        t = Terminal(exe, env)
        self.addCleanup(t.close)
        return t


class QuietEnds(LinuxCase):
    def test_no_settings_file_ends_at_once(self):
        d = self.run_dir(ini=None)
        t = self.terminal(d.exe)
        self.assertEqual(t.wait(), 0)
        self.assertEqual(t.text().strip(), "")
        self.assertEqual(d.companion_runs(), [])
        self.assertEqual(self.server.requests, [])

    def test_equal_version_ends_silently_after_one_request(self):
        d = self.run_dir(settings(self.publish(), version="2.0"))
        t = self.terminal(d.exe)
        self.assertEqual(t.wait(), 0)
        self.assertEqual(t.text().strip(), "")
        self.assertEqual(d.companion_runs(), [])
        (request,) = self.server.requests
        lines = request.split(b"\r\n")
        self.assertEqual(lines[0], b"GET /m.xml HTTP/1.0")
        self.assertIn(b"Accept: */*", lines)
        self.assertIn(b"User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)", lines)
        self.assertFalse([l for l in lines if l.lower().startswith(b"referer")])

    def test_bad_input_never_offers_an_update(self):
        """Without a terminal any box would answer Cancel and start the companion,
        so a companion start means an update was offered."""
        s = self.server
        s.routes["/404"] = Route(b"<html><body>not found</body></html>", 404)
        s.routes["/500"] = Route(manifest(), 500)  # an error status, but a manifest body: read all the same
        s.routes["/binary"] = Route(bytes(range(256)) * 64)
        s.routes["/cut"] = Route(manifest(), cut_after=60)
        s.routes["/older"] = Route(manifest(version="1.10"))
        s.routes["/one-equals"] = Route(manifest(address="http://h/p.zip?a=1"))
        s.routes["/huge"] = Route(b"<" * (64 * 1024 * 1024 + 1))
        s.routes["/" + "p" * 2047] = Route(manifest())
        cases = {
            "empty address": ("", False),
            "ftp scheme": ("ftp://127.0.0.1/m.xml", False),
            "not an address": ("just words", False),
            "refused": (f"http://127.0.0.1:{refused_port()}/m.xml", False),
            "path of 2048 bytes": (s.url("/" + "p" * 2047), False),  # room for 2047 and the NUL
            "error page": (s.url("/404"), False),
            "binary body": (s.url("/binary"), False),
            "cut off inside": (s.url("/cut"), False),
            "1.10 is older than 1.9": (s.url("/older"), False),
            "over 64 MiB": (s.url("/huge"), False),
            "error status with a manifest": (s.url("/500"), True),
            "one equals sign in a value": (s.url("/one-equals"), True),
        }
        for name, (address, offered) in cases.items():
            with self.subTest(name):
                ini = settings(address, version="1.9")
                d = self.run_dir(ini)
                self.assertEqual(run_without_terminal(d.exe), 0)
                self.assertEqual(len(d.companion_runs(1 if offered else 0)), 1 if offered else 0)

    def test_long_settings_value_is_harmless(self):
        d = self.run_dir(settings("http://" + "a" * 30000 + "/m.xml"))
        self.assertEqual(run_without_terminal(d.exe), 0)
        self.assertEqual(d.companion_runs(), [])


class Fetching(LinuxCase):
    def test_fragment_dropped_redirect_followed_body_cut_at_the_end_kept(self):
        body = manifest()
        self.server.routes["/m.xml?x=1"] = Route(body, 302, location="/final")
        # All of the manifest arrives, then the connection ends early.
        self.server.routes["/final"] = Route(body + b" " * 1000, cut_after=len(body))
        d = self.run_dir(settings(self.server.url("/m.xml?x=1#part")))
        self.assertEqual(run_without_terminal(d.exe), 0)
        self.assertEqual(len(d.companion_runs(1)), 1)
        paths = [r.split(b" ")[1] for r in self.server.requests]
        self.assertEqual(paths, [b"/m.xml?x=1", b"/final"])


class TheQuestion(LinuxCase):
    def test_cancel_shows_the_notice_then_starts_the_companion(self):
        d = self.run_dir(settings(self.publish()))
        t = self.terminal(d.exe)
        shown = t.expect("[Esc] Cancel")
        self.assertIn("更新信息:", shown)
        self.assertIn("发现有新的版本可以更新，本次更新了如下内容：\r\n  \r\n  修复了若干问题\r\n  新增功能", shown)
        self.assertEqual(d.companion_runs(), [])
        t.press(b"\x1b")
        t.expect("你已选择不更新将继续使用旧版！")
        self.assertIn("更新提示:", t.text())
        t.press(b"\r")
        self.assertEqual(t.wait(), 0)
        self.assertEqual(d.companion_runs(1), [d.file("Velmora.exe")])
        self.assertFalse(os.path.exists(d.file("companion-started.txt.fds")), "descriptors inherited")
        self.assertTrue(t.modes() & termios.ECHO and t.modes() & termios.ICANON, "terminal left raw")

    def test_arrow_keys_do_not_answer_and_ctrl_c_cancels(self):
        d = self.run_dir(settings(self.publish()))
        t = self.terminal(d.exe)
        t.expect("[Esc] Cancel")
        t.press(b"\x1b[A\x1b[B\x1bOC x")
        t.press(b"\x03")
        t.expect("你已选择不更新将继续使用旧版！")
        self.assertNotIn("-> OK", t.text().split("你已选择")[0])
        t.press(b"\n")
        self.assertEqual(t.wait(), 0)

    def test_ok_opens_the_download_window_and_esc_closes_it(self):
        d = self.run_dir(settings(self.publish()))
        t = self.terminal(d.exe)
        t.expect("[Esc] Cancel")
        t.press(b"\r")
        t.expect("更新")
        t.expect("(Esc: close)")
        self.assertNotIn("你已选择不更新", t.text())
        t.press(b"\x1b")
        t.expect("你已选择不更新将继续使用旧版！")
        t.press(b"\r")
        self.assertEqual(t.wait(), 0)
        self.assertEqual(len(d.companion_runs(1)), 1)

    def test_companion_missing_ends_quietly(self):
        d = self.run_dir(settings(self.publish()), companion=None)
        t = self.terminal(d.exe)
        t.expect("[Esc] Cancel")
        t.press(b"\x1b")
        t.expect("你已选择不更新将继续使用旧版！")
        t.press(b"\r")
        self.assertEqual(t.wait(), 0)
        self.assertNotIn("错误", t.text())

    def test_no_terminal_answers_cancel(self):
        d = self.run_dir(settings(self.publish()))
        self.assertEqual(run_without_terminal(d.exe), 0)
        self.assertEqual(len(d.companion_runs(1)), 1)


class Downloading(LinuxCase, UpdateChecks):
    companion = COMPANION

    def accept(self, d):
        """Starts the updater and answers OK in the notes box."""
        t = self.terminal(d.exe)
        t.expect("[Esc] Cancel")
        t.press(b"\r")
        return t

    def accept_and_wait(self, d):
        return self.accept(d).wait()

    def test_a_complete_update_is_installed_and_the_next_start_finds_nothing_newer(self):
        files = self.new_version(3_000_000)
        self.publish_package(files, ranges=True, rate=250_000)
        d = self.run_dir(settings(self.server.url("/m.xml")))
        with open(d.file("only-mine.txt"), "wb") as f:
            f.write(b"kept")
        t = self.accept(d)
        t.expect("KB/秒")  # the timer's caption: the window was open while the data came
        self.assertEqual(t.wait(), 0)
        self.assertNotIn("你已选择不更新", t.text())
        self.assert_installed(d, files, {"only-mine.txt": b"kept"})
        ranged = [r for r in self.server.requests if b"Range: bytes=" in r]
        self.assertEqual(len(ranged), 4, "five connections, four of them ranged")
        again = self.terminal(d.exe)
        self.assertEqual(again.wait(), 0)
        self.assertEqual(again.text().strip(), "")
        self.assertEqual(len(d.companion_runs()), 1)

    def test_nginx_serves_the_manifest_and_the_package(self):
        www = tempfile.mkdtemp(prefix="updater-www-")
        self.addCleanup(shutil.rmtree, www, True)
        files = self.new_version(2_000_000)
        with open(os.path.join(www, "Velmora-2.0.zip"), "wb") as f:
            f.write(package(files))
        nginx = Nginx(www)
        self.addCleanup(nginx.close)
        with open(os.path.join(www, "version.xml"), "wb") as f:
            f.write(manifest(address=nginx.url("/Velmora-2.0.zip")))
        d = self.run_dir(settings(nginx.url("/version.xml")))
        self.assertEqual(self.accept(d).wait(), 0)
        self.assert_installed(d, files)

    def test_a_server_that_ignores_ranges_still_gives_the_whole_package(self):
        files = self.new_version(500_000)
        self.publish_package(files)
        d = self.run_dir(settings(self.server.url("/m.xml")))
        self.assertEqual(self.accept(d).wait(), 0)
        self.assert_installed(d, files)

    def test_damaged_or_cut_packages_leave_the_program_directory_unchanged(self):
        self.check_damaged_and_cut_packages()

    def test_the_running_updater_in_the_package_does_not_stop_the_others(self):
        self.check_running_updater_in_the_package("update")

    def test_esc_during_a_slow_download_returns_to_the_check(self):
        self.publish_package(self.new_version(5_000_000), ranges=True, rate=20_000)
        d = self.run_dir(settings(self.server.url("/m.xml")))
        t = self.accept(d)
        t.expect("KB/秒")
        t.press(b"\x1b")
        t.expect("你已选择不更新将继续使用旧版！")
        t.press(b"\r")
        self.assertEqual(t.wait(), 0)
        self.assertEqual(len(d.companion_runs(1)), 1)

    def test_leftovers_of_an_earlier_run_are_removed_first(self):
        files = self.new_version(30_000)
        self.publish_package(files)
        d = self.run_dir(settings(self.server.url("/m.xml")))
        with open(d.file("temp.zip"), "wb") as f:
            f.write(b"an old package")
        os.makedirs(d.file("temp/.hidden"))
        with open(d.file("temp/.hidden/old.dll"), "wb") as f:
            f.write(b"old")
        os.chmod(d.file("temp/.hidden/old.dll"), 0o444)
        outside = os.path.join(d.top, "outside")
        os.makedirs(outside)
        open(os.path.join(outside, "keep.txt"), "w").close()
        os.symlink(outside, d.file("temp/link"))
        self.assertEqual(self.accept(d).wait(), 0)
        self.assert_installed(d, files)
        self.assertFalse(os.path.exists(d.file(".hidden")))
        self.assertTrue(os.path.exists(os.path.join(outside, "keep.txt")), "followed a link out of the folder")


class Ending(LinuxCase):
    def test_end_from_another_thread_during_a_box_cleans_up_once_on_the_ui_thread(self):
        d = self.run_dir(settings(self.publish()), exe=HOOKS)
        log, trigger = d.file("hook.log"), d.file("end-now")
        t = self.terminal(d.exe, {"UPDATER_HOOK_LOG": log, "UPDATER_HOOK_END_TRIGGER": trigger,
                                  "UPDATER_HOOK_END_CODE": "3"})
        t.expect("[Esc] Cancel")
        open(trigger, "w").close()
        self.assertEqual(t.wait(), 3)
        with open(log) as f:
            self.assertEqual(f.read().splitlines(), ["end from thread", "cleanup thread=ui"])
        self.assertNotIn("你已选择不更新", t.text())
        self.assertEqual(d.companion_runs(), [])
        self.assertTrue(t.modes() & termios.ECHO, "terminal left raw")

    def test_failed_allocation_shows_an_error_and_ends_with_minus_one_without_cleanup(self):
        self.publish(manifest(notes="x" * (1 << 20)))
        d = self.run_dir(settings(self.server.url("/m.xml")), exe=HOOKS)
        log = d.file("hook.log")
        t = self.terminal(d.exe, {"UPDATER_HOOK_LOG": log, "UPDATER_HOOK_FAIL_ALLOC_OVER": str(256 * 1024)})
        t.expect("错误")
        t.expect("[Enter] OK")
        t.press(b"\r")
        self.assertEqual(t.wait(), 255)
        self.assertFalse(os.path.exists(log), "the exit routine ran")
        self.assertTrue(t.modes() & termios.ECHO and t.modes() & termios.ICANON, "terminal left raw")


if __name__ == "__main__":
    unittest.main()
