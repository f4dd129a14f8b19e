"""End-to-end tests of the Windows executable under Wine and Xvfb."""
import os
import shutil
import unittest

import wine
from harness import RunDir, Route, Server, UpdateChecks, gbk, manifest, package, settings

WS_VISIBLE, WS_CAPTION, WS_SYSMENU, WS_THICKFRAME = 0x10000000, 0x00C00000, 0x00080000, 0x00040000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX = 0x00020000, 0x00010000
WS_EX_TOOLWINDOW, WS_EX_STATICEDGE, WS_EX_TOPMOST = 0x80, 0x20000, 0x8
PBS_SMOOTH = 0x1

template = None


def setUpModule():
    global template
    display = wine.Display()
    try:
        template = wine.PrefixTemplate(display)
    finally:
        display.close()


def tearDownModule():
    template.close()


def size(window):
    left, top, right, bottom = window["rect"]
    return right - left, bottom - top


class WineCase(unittest.TestCase):
    def setUp(self):
        self.server = Server()
        # A display of its own for each test: a display shared across many Wine
        # sessions at times refused the next one.
        display = wine.Display()
        self.addCleanup(display.close)
        self.wine = wine.Wine(template, display)
        self.addCleanup(self.wine.close)
        self.addCleanup(self.server.close)

    def run_dir(self, ini=None, exe=wine.UPDATER, companion=wine.COMPANION, name="run"):
        return RunDir(exe, companion, ini, parent=self.wine.drive_c, name=name)

    def publish(self, body=None, **route):
        self.server.routes["/m.xml"] = Route(manifest() if body is None else body, **route)
        return self.server.url("/m.xml")

    def program_windows(self):
        return [w for w in self.wine.windows() if w["class"].startswith(("VelmoraUpdater", "#32770"))]

    def box(self, title):
        """The message box titled `title`: its X window and the probe's view of it."""
        xid = self.wine.find(title)
        (box,) = [w for w in self.program_windows() if w["class"] == "#32770" and w["title"] == gbk(title)]
        return xid, box

    def box_text(self, box):
        (text,) = [c for c in box["children"] if c["id"] == "65535"]
        return text["title"]

    def buttons(self, box):
        return sorted(int(c["id"]) for c in box["children"] if c["class"] == "Button" and c["visible"] == "1")

    def icon(self, box):
        return [c for c in box["children"] if "icon" in c and c["icon"] != "0"]


class QuietEnds(WineCase):
    def test_no_settings_file_ends_at_once(self):
        d = self.run_dir(ini=None)
        code, _ = self.wine.run(d.exe)
        self.assertEqual(code, 0)
        self.assertEqual(d.companion_runs(), [])
        self.assertEqual(self.server.requests, [])

    def test_equal_version_ends_silently_and_the_request_is_as_sent_by_a_browser(self):
        body = manifest(version="1.0")
        self.server.routes["/m.xml?x=1"] = Route(body, 302, location="/final")
        self.server.routes["/final"] = Route(body)
        d = self.run_dir(settings(self.server.url("/m.xml?x=1#part"), version="1.0"))
        code, _ = self.wine.run(d.exe)
        self.assertEqual(code, 0)
        self.assertEqual(d.companion_runs(), [])
        first = self.server.requests[0].split(b"\r\n")
        self.assertEqual(first[0], b"GET /m.xml?x=1 HTTP/1.0")
        self.assertIn(b"Accept: */*", first)
        self.assertIn(b"User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)", first)
        self.assertFalse([l for l in first if l.lower().startswith(b"referer")])
        self.assertEqual(self.server.requests[1].split(b"\r\n")[0], b"GET /final HTTP/1.0")

    def test_system_reader_agrees_with_the_ini_table(self):
        code, out = self.wine.run(wine.WINE_UNIT)
        self.assertEqual(code, 0, out.decode("latin-1"))


class TheQuestion(WineCase):
    def test_cancel_shows_the_notice_then_starts_the_companion_quoted(self):
        d = self.run_dir(settings(self.publish()))
        process = self.wine.start(d.exe)
        xid, notes = self.box("更新信息:")
        self.assertEqual(self.box_text(notes),
                         gbk("发现有新的版本可以更新，本次更新了如下内容：\r\n\r\n修复了若干问题\r\n新增功能"))
        self.assertEqual(self.buttons(notes), [1, 2])
        self.assertEqual(self.icon(notes), [])

        windows = self.program_windows()
        (start,) = [w for w in windows if w["class"] == "VelmoraUpdaterWindow"]
        self.assertEqual(start["visible"], "0")
        self.assertFalse(start["style"] & WS_VISIBLE)
        self.assertEqual(start["title"], b"")
        self.assertEqual(size(start), (106, 63))
        self.assertEqual(start["rect"][:2], [(1024 - 106) // 2, (768 - 63) // 2])
        self.assertEqual(start["style"] & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU)
        self.assertFalse(start["style"] & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX))
        (handoff,) = [w for w in windows if w["class"] == "VelmoraUpdaterHandoff"]
        self.assertTrue(handoff["exstyle"] & WS_EX_TOOLWINDOW)
        self.assertEqual(handoff["visible"], "0")
        self.assertEqual(d.companion_runs(), [])

        self.wine.press(xid, "Escape")
        xid, notice = self.box("更新提示:")
        self.assertEqual(self.box_text(notice), gbk("你已选择不更新将继续使用旧版！"))
        self.assertEqual(self.buttons(notice), [1])
        self.assertEqual(len(self.icon(notice)), 1)
        self.wine.press(xid, "Return")
        self.assertEqual(process.wait(wine.TIMEOUT), 0)
        windows_path = "C:" + d.file("Velmora.exe")[len(self.wine.drive_c):].replace("/", "\\")
        self.assertEqual(d.companion_runs(1), [f'"{windows_path}"'])

    def download_window(self):
        """UpdateWindow, captioned "更新" or, after the first tick, with the speed."""
        xid = self.wine.find("", pattern="^(更新|下载速度：.*KB/秒 )$")
        (window,) = [w for w in self.program_windows() if w["class"] == "VelmoraUpdaterWindow" and w["visible"] == "1"]
        return xid, window

    def test_ok_opens_the_download_window_and_esc_closes_it(self):
        d = self.run_dir(settings(self.publish()))
        process = self.wine.start(d.exe)
        xid, _ = self.box("更新信息:")
        self.wine.press(xid, "Return")
        xid, window = self.download_window()
        self.assertEqual(window["visible"], "1")
        self.assertEqual(size(window), (333, 64))
        self.assertEqual(window["rect"][:2], [(1024 - 333) // 2, (768 - 64) // 2])
        self.assertTrue(window["style"] & WS_CAPTION)
        self.assertFalse(window["style"] & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX))
        self.assertFalse(window["exstyle"] & WS_EX_TOPMOST)
        self.assertTrue(window["ownerexstyle"] & WS_EX_TOOLWINDOW, "owned by the hidden tool window")
        (bar,) = window["children"]
        self.assertEqual(bar["class"], "msctls_progress32")
        client_left, client_top = (int(v) for v in window["client"].split(",")[:2])
        self.assertEqual([bar["rect"][0] - client_left, bar["rect"][1] - client_top], [8, 7])
        self.assertEqual(size(bar), (312, 20))
        self.assertTrue(bar["exstyle"] & WS_EX_STATICEDGE)
        self.assertFalse(bar["style"] & PBS_SMOOTH)
        self.assertEqual((bar["range"], bar["pos"]), ("0,100", "0"))
        self.assertTrue(self.wine.skips_taskbar(xid), "UpdateWindow shows in the taskbar")

        self.wine.press(xid, "Escape")
        xid, _ = self.box("更新提示:")
        self.wine.press(xid, "Return")
        self.assertEqual(process.wait(wine.TIMEOUT), 0)
        self.assertEqual(len(d.companion_runs(1)), 1)

    def test_companion_missing_ends_quietly(self):
        d = self.run_dir(settings(self.publish()), companion=None)
        process = self.wine.start(d.exe)
        xid, _ = self.box("更新信息:")
        self.wine.press(xid, "Escape")
        xid, _ = self.box("更新提示:")
        self.wine.press(xid, "Return")
        self.assertEqual(process.wait(wine.TIMEOUT), 0)

    def test_run_directory_with_spaces_and_a_trail_byte_backslash(self):
        """"乗" is 0x81 0x5C in GBK. With a space in the path an unquoted
        command line would start the planted program beside the folder."""
        d = self.run_dir(settings(self.publish()), name="my 乗app")
        process = self.wine.start(d.exe)
        xid, _ = self.box("更新信息:")
        # Planted only now: Wine's own launcher falls into the same trap.
        shutil.copy2(wine.COMPANION, os.path.join(d.top, "my.exe"))
        self.wine.press(xid, "Escape")
        xid, _ = self.box("更新提示:")
        self.wine.press(xid, "Return")
        self.assertEqual(process.wait(wine.TIMEOUT), 0)
        self.assertEqual(len(d.companion_runs(1)), 1)
        self.assertFalse(os.path.exists(os.path.join(d.top, "companion-started.txt")), "planted program started")


class Downloading(WineCase, UpdateChecks):
    companion = wine.COMPANION

    def accept(self, d):
        process = self.wine.start(d.exe)
        xid, _ = self.box("更新信息:")
        self.wine.press(xid, "Return")
        return process

    def accept_and_wait(self, d):
        return self.accept(d).wait(wine.TIMEOUT)

    def test_a_complete_update_is_installed_while_the_window_is_modal(self):
        files = self.new_version(3_000_000)
        self.publish_package(files, ranges=True, rate=250_000)
        d = self.run_dir(settings(self.server.url("/m.xml")))
        with open(d.file("only-mine.txt"), "wb") as f:
            f.write(b"kept")
        process = self.accept(d)
        self.wine.find("", pattern="^下载速度：[0-9]+KB/秒 $")  # a tick while the window is modal
        (window,) = [w for w in self.program_windows() if w["class"] == "VelmoraUpdaterWindow" and w["visible"] == "1"]
        self.assertGreater(int(window["children"][0]["pos"]), 0)
        self.assertEqual(process.wait(wine.TIMEOUT), 0)
        self.assert_installed(d, files, {"only-mine.txt": b"kept"})
        self.assertEqual(len([r for r in self.server.requests if b"Range: bytes=" in r]), 4)
        code, _ = self.wine.run(d.exe)  # the installed update.ini says 2.0: nothing newer
        self.assertEqual(code, 0)
        self.assertEqual(len(d.companion_runs()), 1)

    def test_damaged_or_cut_packages_leave_the_program_directory_unchanged(self):
        self.check_damaged_and_cut_packages()

    def test_the_running_updater_in_the_package_does_not_stop_the_others(self):
        self.check_running_updater_in_the_package("update.exe")

    def test_esc_during_a_slow_download_returns_to_the_check(self):
        self.publish_package(self.new_version(5_000_000), ranges=True, rate=20_000)
        d = self.run_dir(settings(self.server.url("/m.xml")))
        process = self.accept(d)
        xid = self.wine.find("", pattern="^下载速度：[0-9]+KB/秒 $")
        self.wine.press(xid, "Escape")
        xid, _ = self.box("更新提示:")
        self.wine.press(xid, "Return")
        self.assertEqual(process.wait(wine.TIMEOUT), 0)
        self.assertEqual(len(d.companion_runs(1)), 1)


class Ending(WineCase):
    def test_end_from_another_thread_during_a_box_cleans_up_once_on_the_ui_thread(self):
        d = self.run_dir(settings(self.publish()), exe=wine.HOOKS)
        process = self.wine.start(d.exe, {"UPDATER_HOOK_LOG": "hook.log", "UPDATER_HOOK_END_TRIGGER": "end-now",
                                          "UPDATER_HOOK_END_CODE": "3"})
        self.box("更新信息:")
        open(d.file("end-now"), "w").close()
        self.assertEqual(process.wait(wine.TIMEOUT), 3)
        with open(d.file("hook.log")) as f:
            self.assertEqual(f.read().splitlines(), ["end from thread", "cleanup thread=ui"])
        self.assertEqual(d.companion_runs(), [])

    def test_failed_allocation_shows_an_error_and_ends_with_minus_one_without_cleanup(self):
        d = self.run_dir(settings(self.publish(manifest(notes="x" * (1 << 20)))), exe=wine.HOOKS)
        process = self.wine.start(d.exe, {"UPDATER_HOOK_LOG": "hook.log",
                                          "UPDATER_HOOK_FAIL_ALLOC_OVER": str(256 * 1024)})
        xid, box = self.box("错误")
        self.assertEqual(self.buttons(box), [1])
        self.wine.press(xid, "Return")
        self.assertEqual(process.wait(wine.TIMEOUT), 255)
        self.assertFalse(os.path.exists(d.file("hook.log")), "the exit routine ran")


if __name__ == "__main__":
    unittest.main()
