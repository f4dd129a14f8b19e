"""The Windows executables under Wine in a virtual X display, driven from the
outside: find a window by its title, read it with the probe, press a key."""
import os
import shutil
import subprocess
import tempfile
import time

from harness import BUILD

WIN32 = os.path.join(BUILD, "win32")
UPDATER = os.path.join(WIN32, "update.exe")
HOOKS = os.path.join(WIN32, "tests", "update_hooks.exe")
COMPANION = os.path.join(WIN32, "tests", "companion.exe")
PROBE = os.path.join(WIN32, "tests", "probe.exe")
WINE_UNIT = os.path.join(WIN32, "tests", "wine_unit.exe")
TIMEOUT = 30

# Chinese glyphs for the screenshots, and a title bar that Wine draws itself,
# since no window manager runs in the virtual display.
PREFIX_REGISTRY = r"""REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="WenQuanYi Micro Hei"
"MS Shell Dlg 2"="WenQuanYi Micro Hei"
"Tahoma"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"""


def base_env():
    env = dict(os.environ, WINEDEBUG="-all", LC_ALL="zh_CN.UTF-8", WINEDLLOVERRIDES="mscoree,mshtml=")
    env.pop("WINEPREFIX", None)
    return env


class Display:
    """One Xvfb for the whole run."""

    def __init__(self):
        read, write = os.pipe()
        self.process = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                                         "-nolisten", "tcp"], pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(read)
        self.name = ":" + number.decode().strip()

    def close(self):
        self.process.terminate()
        self.process.wait()


class PrefixTemplate:
    """One Wine prefix made per test run; each test gets a copy of it."""

    def __init__(self, display):
        self.top = tempfile.mkdtemp(prefix="updater-wine-")
        self.path = os.path.join(self.top, "template")
        env = dict(base_env(), WINEPREFIX=self.path, DISPLAY=display.name)
        subprocess.run(["wineboot", "-i"], env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        reg = os.path.join(self.top, "prefix.reg")
        with open(reg, "w") as f:
            f.write(PREFIX_REGISTRY)
        subprocess.run(["wine", "regedit", reg], env=env, check=True, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, check=True)
        self.copies = 0

    def copy(self):
        """Hard links for the thousands of files Wine only reads; real copies of
        the registry files, which Wine rewrites."""
        self.copies += 1
        path = os.path.join(self.top, f"prefix{self.copies}")
        subprocess.run(["cp", "-al", self.path, path], check=True)
        for name in os.listdir(path):
            if name.endswith(".reg"):
                target = os.path.join(path, name)
                os.unlink(target)
                shutil.copy2(os.path.join(self.path, name), target)
        return path

    def close(self):
        shutil.rmtree(self.top, ignore_errors=True)


class Wine:
    """One prefix (a copy of the template) and its wineserver."""

    def __init__(self, template, display):
        self.prefix = template.copy()
        self.env = dict(base_env(), WINEPREFIX=self.prefix, DISPLAY=display.name)
        self.drive_c = os.path.join(self.prefix, "drive_c")
        self.started = None
        self._start_desktop()

    def _start_desktop(self):
        """Brings up the prefix's desktop process before the program under test.
        Its first start in a fresh prefix at times fails to reach the display
        ("no driver could be loaded"); it is tried again, the program never."""
        for _ in range(3):
            _, out = self.run(PROBE)
            if b"Shell_TrayWnd" in out:
                return
            subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=self.env, stderr=subprocess.DEVNULL)
        raise RuntimeError("the Wine desktop does not start on " + self.env["DISPLAY"])

    def start(self, exe, extra_env=None):
        self.log = tempfile.TemporaryFile()
        self.started = subprocess.Popen(["wine", exe], cwd=os.path.dirname(exe), env=dict(self.env, WINEDEBUG="err+all", **(extra_env or {})),
                                        stdout=subprocess.DEVNULL, stderr=self.log)
        return self.started

    def run(self, exe, timeout=TIMEOUT):
        done = subprocess.run(["wine", exe], cwd=os.path.dirname(exe), env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=timeout)
        return done.returncode, done.stdout

    def find(self, title, pattern=None):
        """X window id of the window titled exactly `title` (or matching the
        regular expression `pattern`), once it is there."""
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            found = subprocess.run(["xdotool", "search", "--name", pattern or f"^{title}$"], env=self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.split()
            if found:
                return found[0].decode()
        shot = os.path.join(tempfile.gettempdir(), f"updater-missing-window-{os.getpid()}.png")
        self.screenshot(shot)
        seen = [(w["class"], w["title"].decode("gbk", "replace"), w["visible"]) for w in self.windows()]
        ended = self.started.poll() if self.started else None
        if ended is not None:
            self.log.seek(0)
            ended = f"{ended}, saying {self.log.read().decode('utf-8', 'replace')[-2000:]!r}"
        raise AssertionError(f"no window titled {title!r}; windows: {seen}; the program's exit code: {ended}; "
                             f"screen in {shot}")

    def press(self, window, key):
        subprocess.run(["xdotool", "key", "--window", window, key], env=self.env, check=True,
                       stderr=subprocess.DEVNULL)

    def windows(self):
        """The probe's view of every program window, with its children."""
        _, out = self.run(PROBE)
        tops = []
        for line in out.decode("latin-1").splitlines():
            kind, _, rest = line.partition(" ")
            if not kind.startswith(("pid=", "child")):
                continue
            fields = dict(f.split("=", 1) for f in line.split() if "=" in f)
            fields["title"] = bytes.fromhex(fields["title"])
            for key in ("style", "exstyle", "owner", "hwnd", "ownerexstyle"):
                fields[key] = int(fields[key], 16)
            fields["rect"] = [int(v) for v in fields["rect"].split(",")]
            if kind == "child":
                tops[-1]["children"].append(fields)
            else:
                fields["children"] = []
                tops.append(fields)
        return tops

    def skips_taskbar(self, xid):
        state = subprocess.run(["xprop", "-id", xid, "_NET_WM_STATE"], env=self.env, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL).stdout.decode()
        return "_NET_WM_STATE_SKIP_TASKBAR" in state

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env, stderr=subprocess.DEVNULL)

    def close(self):
        if self.started:
            self.log.close()
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, stderr=subprocess.DEVNULL)
        shutil.rmtree(self.prefix, ignore_errors=True)
