"""Runs the real window under its own X server and drives it with real X input.

Each test gets a fresh Xvfb display, fresh settings, cache and runtime folders,
and talks to the window only as a person would: through xdotool's mouse and
keyboard events, reading back what the screen shows (screenshots, OCR) and what
the archive on disk holds (pff list --tsv). Waits poll with a time limit.
"""

import os
import shutil
import subprocess
import tempfile
import time

WINDOW_TITLE = "Tav Oskin's Vellumcraft"
SCREEN_W, SCREEN_H = 1280, 800
# Generous limits: two tests may share the machine's two cores with a build.
WAIT_S = 30.0


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def wait_for(what, probe, timeout=WAIT_S, interval=0.1):
    """Calls probe until it returns something true; returns that, or fails naming what was awaited."""
    deadline = time.monotonic() + timeout
    last = None
    while time.monotonic() < deadline:
        last = probe()
        if last:
            return last
        time.sleep(interval)
    raise TestFailure("timed out waiting for " + what + (f" (last seen: {last!r})" if last is not None else ""))


class Image:
    """A screenshot as raw RGB bytes."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return self.rgb[at], self.rgb[at + 1], self.rgb[at + 2]

    def region_bytes(self, x, y, w, h):
        return b"".join(self.rgb[((y + r) * self.width + x) * 3:((y + r) * self.width + x + w) * 3] for r in range(h))


def parse_ppm(data):
    # P6 header: magic, width, height, maximum value, each followed by white space.
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    check(fields[0] == b"P6" and fields[3] == b"255", "unexpected screenshot format")
    width, height = int(fields[1]), int(fields[2])
    return Image(width, height, data[at + 1:at + 1 + width * height * 3])


def is_highlight(rgb):
    # The selection colour: a clear blue, unlike the grid's white, grey and black.
    r, g, b = rgb
    return b > 150 and b - r > 80 and b - g > 20


class Session:
    """One X display and the folders a test's programs live in."""

    def __init__(self, name, scale=None):
        self.name = name
        self.root = tempfile.mkdtemp(prefix=f"vc-{name}-")
        self.build_bin = os.environ["VELLUM_BIN"]
        self.pff_path = os.path.join(self.build_bin, "pff")
        self.home = self.mkdir("home")
        self.stubs = self.mkdir("stubs")
        self.runtime = self.mkdir("runtime")
        os.chmod(self.runtime, 0o700)
        self.scale = scale
        self.apps = []
        self.xvfb = None
        self.display = None

    def mkdir(self, *parts):
        path = os.path.join(self.root, *parts)
        os.makedirs(path, exist_ok=True)
        return path

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def start_display(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        check(number.isdigit(), "Xvfb did not report its display")
        self.display = ":" + number
        return self

    def env(self):
        env = dict(os.environ)
        env.update({
            "DISPLAY": self.display,
            "QT_QPA_PLATFORM": "xcb",
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_STATE_HOME": os.path.join(self.home, ".local", "state"),
            "XDG_RUNTIME_DIR": self.runtime,
            "TZ": "UTC",
            "LANG": "C.UTF-8",
            "PATH": self.stubs + os.pathsep + env.get("PATH", ""),
            "NO_AT_BRIDGE": "1",
            "QT_ACCESSIBILITY": "0",
            "GDK_BACKEND": "x11",
            # Under the sanitizer build: what the desktop's libraries keep is not the program's leak.
            "LSAN_OPTIONS": "suppressions=" + os.path.join(os.path.dirname(os.path.abspath(__file__)), "lsan.supp"),
        })
        env.pop("QT_SCALE_FACTOR", None)
        if self.scale:
            env["QT_SCALE_FACTOR"] = str(self.scale)
        return env

    def stub(self, name, script):
        """A stand-in program found first in the window's PATH."""
        path = os.path.join(self.stubs, name)
        with open(path, "w") as f:
            f.write(script)
        os.chmod(path, 0o755)
        return path

    # --- programs -------------------------------------------------------------

    def start_app(self, *args, program=None):
        """The window program on archives args; returns once its main window shows."""
        program = program or os.path.join(self.build_bin, "vellumcraft")
        return self.start_other([program, *args], WINDOW_TITLE)

    def start_other(self, command, title):
        """Any X program; returns once its window titled title shows."""
        log = open(self.path(f"app{len(self.apps)}.log"), "w")
        process = subprocess.Popen(command, env=self.env(), stdout=log, stderr=subprocess.STDOUT)
        app = App(self, process)
        self.apps.append(app)
        app.window = wait_for(f'the window "{title}"', lambda: app.find_window(title))
        app.wait_mapped(app.window)
        return app

    def pff(self, *args, check_status=True):
        result = subprocess.run([self.pff_path, *args], env=self.env(), capture_output=True, text=True)
        if check_status:
            check(result.returncode == 0, f"pff {' '.join(args)} failed: {result.stderr}")
        return result.stdout

    def listing(self, archive):
        """pff list --tsv --all as (index, dead, size, time, name) tuples."""
        rows = []
        for line in self.pff("list", "--tsv", "--all", archive).splitlines()[1:]:
            _, index, dead, _, size, stamp, name = line.split("\t")
            rows.append((int(index), dead == "1", int(size), int(stamp), name))
        return rows

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env(), capture_output=True, text=True)
        return result.stdout.strip() if result.returncode == 0 else ""

    def key(self, *keys):
        self.xdotool("key", "--delay", "60", *keys)

    def type_text(self, text):
        self.xdotool("type", "--delay", "60", text)

    def click(self, x, y, modifier=None):
        if modifier:
            self.xdotool("keydown", modifier)
        self.xdotool("mousemove", "--sync", x, y, "click", "1")
        if modifier:
            self.xdotool("keyup", modifier)

    def drag(self, start, end, steps=12):
        """Press at start, move there in steps (past the start-drag distance), release at end."""
        (x0, y0), (x1, y1) = start, end
        self.xdotool("mousemove", "--sync", x0, y0)
        self.xdotool("mousedown", "1")
        for i in range(1, steps + 1):
            self.xdotool("mousemove", x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps)
            time.sleep(0.08)  # pacing the hand, not waiting for a result
        # The drop target answers the last position before the release.
        self.xdotool("mousemove", x1 + 1, y1)
        time.sleep(0.3)
        self.xdotool("mouseup", "1")

    def screenshot(self):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env(),
                              capture_output=True, check=True).stdout
        return parse_ppm(data)

    def save_screenshot(self, name):
        """Kept beside the test's files for a person to look at after a failure."""
        path = self.path(name + ".png")
        subprocess.run(["import", "-window", "root", path], env=self.env(), capture_output=True)
        return path

    def ocr(self, x, y, w, h, name="ocr"):
        """The text tesseract reads in a screen region, scaled up 3x for it. Read twice:
        as shown, and with light text on a dark highlight turned dark on light."""
        shot = self.path(name + ".png")
        subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                        "-colorspace", "Gray", "-resize", "300%", shot], env=self.env(), check=True,
                       capture_output=True)
        flipped = self.path(name + "-flipped.png")
        subprocess.run(["convert", shot, "-negate", "-lat", "40x40-10%", "-negate", flipped], check=True)
        return "\n".join(subprocess.run(["tesseract", image, "-", "--psm", "6"], capture_output=True,
                                        text=True).stdout for image in (shot, flipped))

    def close(self):
        for app in self.apps:
            app.kill()
        if self.xvfb:
            self.xvfb.kill()
            self.xvfb.wait()

    def cleanup(self):
        shutil.rmtree(self.root, ignore_errors=True)


class App:
    """One running window program."""

    def __init__(self, session, process):
        self.session, self.process = session, process
        self.window = None

    def windows(self, title):
        out = self.session.xdotool("search", "--all", "--onlyvisible", "--pid", self.process.pid,
                                   "--name", "^" + title.replace("'", ".") + "$")
        return [int(w) for w in out.split()]

    def find_window(self, title):
        check(self.process.poll() is None, f"the program ended (status {self.process.returncode})")
        found = self.windows(title)
        return found[0] if found else None

    def wait_mapped(self, window):
        wait_for("the window to be shown", lambda: self.geometry(window)[2] > 0)

    def geometry(self, window=None):
        """x, y, width, height of a window (the main window by default)."""
        out = self.session.xdotool("getwindowgeometry", "--shell", window or self.window)
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return tuple(int(values.get(k, 0)) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def place(self, x, y, w, h):
        self.session.xdotool("windowsize", "--sync", self.window, w, h)
        self.session.xdotool("windowmove", "--sync", self.window, x, y)
        wait_for("the window to move", lambda: self.geometry()[:2] == (x, y))

    def focus(self):
        self.session.xdotool("windowfocus", "--sync", self.window)

    def wait_dialog(self, title):
        return wait_for(f'a window titled "{title}"', lambda: self.find_window(title))

    def dialog_gone(self, title):
        wait_for(f'the "{title}" window to close', lambda: not self.windows(title))

    def exit_by_menu(self):
        """File > Exit with the keyboard, then waits for the program to end."""
        self.focus()
        self.session.key("alt+f")
        time.sleep(0.3)
        self.session.key("x")
        wait_for("the program to end", lambda: self.process.poll() is not None)
        return self.process.returncode

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class Grid:
    """Where the grid's rows are on screen, measured from the highlight."""

    def __init__(self, app):
        self.app = app
        self.x0 = self.x1 = self.top = self.pitch = None

    def highlight_band(self, shot=None):
        """(first, last) screen y of the highlighted rows in the name column, or None."""
        shot = shot or self.app.session.screenshot()
        x = self.x0 + 3
        ys = [y for y in range(self.top - 2, min(shot.height, self.top + 60 * self.pitch))
              if is_highlight(shot.pixel(x, y))]
        return (ys[0], ys[-1]) if ys else None

    def highlighted_rows(self, shot=None):
        band = self.highlight_band(shot)
        if not band:
            return []
        first = round((band[0] - self.top) / self.pitch)
        last = round((band[1] + 1 - self.top) / self.pitch) - 1
        return list(range(first, last + 1))

    def row_point(self, row):
        return self.x0 + 20, self.top + row * self.pitch + self.pitch // 2

    def measure(self):
        """Finds the first row from its start-up highlight, then the row pitch from a second row."""
        gx, gy, gw, gh = self.app.geometry()
        session = self.app.session

        def first_band():
            shot = session.screenshot()
            # Right of the archive tree; the first blue run found row by row.
            for y in range(gy + 10, gy + gh // 2):
                xs = [x for x in range(gx + gw // 8, gx + gw - 4, 2) if is_highlight(shot.pixel(x, y))]
                if len(xs) > 20:
                    x0 = xs[0]
                    while x0 > gx and is_highlight(shot.pixel(x0 - 1, y)):
                        x0 -= 1
                    return x0, xs[-1], y
            return None

        self.x0, self.x1, self.top = wait_for("the grid's first row to be highlighted", first_band)
        shot = session.screenshot()
        bottom = self.top
        while is_highlight(shot.pixel(self.x0 + 3, bottom + 1)):
            bottom += 1
        one_row = bottom - self.top + 1
        # Rows are one line of text plus a grid line apart.
        self.pitch = one_row + 1
        return self
