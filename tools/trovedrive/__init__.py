"""Trove's drive library: the running program on a private Xvfb screen, for the end-to-end
tests, the tour (python3 -m trovedrive.tour) and the measurement scripts, which find it on
PYTHONPATH (tools/; the Makefile and CTest put it there).

The program to drive comes from TROVE_PROGRAM: "wine" (the default) runs dist/trove.exe under
Wine, "linux" runs the Linux program dist-linux/trove. A Desktop starts Xvfb at a chosen screen
size, runs the program (or another one) in a chosen start directory, sends synthetic input
through XTEST (xdotool), and reads back windows and the screen from the X server. The canvas
module reads the program's canvas off the screen.
"""
import ctypes
import os
import re
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PROGRAM = os.environ.get("TROVE_PROGRAM", "wine")
LINUX = PROGRAM == "linux"
DIST = os.environ.get("TROVE_DIST", os.path.join(ROOT, "dist-linux" if LINUX else "dist"))
BUILD = os.environ.get("TROVE_BUILD", os.path.join(ROOT, "build", "linux" if LINUX else "win32"))
# The program's and the player's file names in their folder.
TROVE_FILE = "trove" if LINUX else "trove.exe"
PLAYER_FILE = "spool" if LINUX else "spool.exe"
# The separator of the paths the program shows.
SEPARATOR = "/" if LINUX else "\\"
PREFIX = os.environ.get("WINEPREFIX", os.path.join(ROOT, "build", "wineprefix"))
# The picture corpora made by others that the tests and the soak decode.
CORPORA = os.path.join(ROOT, "tests", "data")


class Screenshot:
    """The whole X screen as RGB bytes, top row first."""

    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def holds(self, colour, left, top, right, bottom):
        """Whether a pixel of that colour lies in the rectangle (right and bottom excluded)."""
        left, top = max(left, 0), max(top, 0)
        right, bottom = min(right, self.width), min(bottom, self.height)
        wanted = bytes(colour)
        for y in range(top, bottom):
            row = self.rgb[(y * self.width + left) * 3:(y * self.width + right) * 3]
            i = row.find(wanted)
            while i >= 0:
                if i % 3 == 0:
                    return True
                i = row.find(wanted, i + 1)
        return False

    def save_png(self, path):
        raw = bytearray()
        stride = self.width * 3
        for y in range(self.height):
            raw.append(0)
            raw += self.rgb[y * stride:(y + 1) * stride]

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        png = b"\x89PNG\r\n\x1a\n"
        png += chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(bytes(raw), 6))
        png += chunk(b"IEND", b"")
        with open(path, "wb") as f:
            f.write(png)


def parse_xwd(data):
    fields = struct.unpack(">25I", data[:100])
    header_size, _, _, depth, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    ncolors = fields[19]
    if bits_per_pixel not in (24, 32) or depth != 24:
        raise RuntimeError("unexpected screen format %d/%d" % (depth, bits_per_pixel))
    n = bits_per_pixel // 8
    offset = header_size + ncolors * 12
    rgb = bytearray(width * height * 3)
    for y in range(height):
        row = data[offset + y * bytes_per_line: offset + y * bytes_per_line + width * n]
        if byte_order == 0:  # LSBFirst: B, G, R (, X)
            channels = (row[2::n], row[1::n], row[0::n])
        else:  # MSBFirst: (X,) R, G, B
            channels = (row[n - 3::n], row[n - 2::n], row[n - 1::n])
        rgb[y * width * 3:(y + 1) * width * 3] = bytes(b for px in zip(*channels) for b in px)
    return Screenshot(width, height, rgb)


class Desktop:
    """xvfb_args are put on Xvfb's command line after the screen. With untrusted, the server
    takes only authorised clients and the program connects as an untrusted client of its
    SECURITY extension, to which the server offers no extension beyond BIG-REQUESTS and
    XC-MISC (not even XInputExtension, which Xvfb cannot be started without); the tools that
    drive and read the screen stay trusted."""

    def __init__(self, screen=(1280, 1024), start_dir=None, env=None, xvfb_args=(),
                 untrusted=False):
        self.screen = screen
        self.start_dir = start_dir or DIST
        self.extra_env = env or {}
        self.xvfb_args = list(xvfb_args)
        self.untrusted = untrusted
        self.authority = None  # the two authority files and the cookie, when untrusted
        self.xvfb = None
        self.proc = None
        self.display = None
        self.report = None  # the file the program reports to (read_report keeps what it says)

    # ---- lifecycle -------------------------------------------------------------------------
    def __enter__(self):
        self.start_display()
        return self

    def __exit__(self, kind, value, trace):
        # A failing test leaves the screen as it was when it failed, to look at afterwards.
        if kind is not None and self.display is not None:
            try:
                path = tempfile.mktemp(prefix="trove-e2e-failure-", suffix=".png")
                self.screenshot().save_png(path)
                print("screen at the failure: %s" % path, file=sys.stderr)
            except Exception:  # noqa: BLE001 - the failure itself is what matters
                pass
            # Whether the program was still there tells a hang or a slow start from a crash.
            if self.proc is not None:
                code = self.proc.poll()
                print("program at the failure: %s; its standard error: %r" %
                      ("running" if code is None else "ended with %s" % code,
                       self.program_errors()), file=sys.stderr)
        self.stop()

    def start_display(self):
        # Xvfb picks a free display number and writes it to the pipe once it accepts
        # connections, so parallel runs never race for the same number.
        read_end, write_end = os.pipe()
        extra = list(self.xvfb_args)
        if self.untrusted:
            cookie = os.urandom(16).hex()
            folder = tempfile.mkdtemp(prefix="trove-e2e-xauth-")
            self.authority = {"trusted": os.path.join(folder, "trusted"),
                              "untrusted": os.path.join(folder, "untrusted"), "cookie": cookie}
            # The server reads every cookie in the file, whatever display it is written for.
            self.xauth("add", ":0", ".", cookie)
            extra += ["-auth", self.authority["trusted"]]
        # -noreset: by default the server resets whenever its last client disconnects, and a
        # client that connects during the reset (the program, just after a tool's query) is
        # refused with "cannot open display"; a reset would also forget the untrusted
        # authorisation as soon as the xauth that asked for it disconnects.
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % self.screen,
             "-nolisten", "tcp", "-noreset"] + extra,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, pass_fds=(write_end,))
        os.close(write_end)
        number = b""
        deadline = time.time() + 20
        with os.fdopen(read_end, "rb", buffering=0) as pipe:
            while not number.endswith(b"\n") and time.time() < deadline:
                if not select.select([pipe], [], [], max(deadline - time.time(), 0))[0]:
                    break
                chunk = pipe.read(16)
                if not chunk:
                    break
                number += chunk
        if not number.strip().isdigit():
            self.xvfb.kill()
            raise RuntimeError("Xvfb did not start")
        self.display = ":%d" % int(number)
        if self.untrusted:
            self.xauth("add", self.display, ".", self.authority["cookie"])
        for _ in range(100):
            if subprocess.run(["xdpyinfo"], env=self.env(), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0:
                break
            time.sleep(0.1)
        else:
            raise RuntimeError("Xvfb did not accept connections on " + self.display)
        if self.untrusted:
            self.xauth("-f", self.authority["untrusted"], "generate", self.display, ".",
                       "untrusted", "timeout", "3600", file=None)

    def xauth(self, *args, file="trusted"):
        command = ["xauth", "-q"] + (["-f", self.authority[file]] if file else []) + list(args)
        env = dict(self.env(), XAUTHORITY=self.authority["trusted"])
        subprocess.run(command, env=env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def env(self, program=False):
        """The environment of the tools, or with program of the program under test."""
        e = dict(os.environ)
        e.update({"DISPLAY": self.display or "", "WINEPREFIX": PREFIX, "WINEDEBUG": "-all",
                  "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d"})
        if self.authority:
            e["XAUTHORITY"] = self.authority["untrusted" if program else "trusted"]
        if program and LINUX:
            # Names ordered and drawn the same way whatever the machine's own locale.
            e["LC_ALL"] = "C.UTF-8"
        e.update(self.extra_env)
        return e

    def start(self, exe=None, args=(), cwd=None, launcher=()):
        """Starts the program; launcher is a command put in front of it (setpriv, say)."""
        exe = exe or os.path.join(DIST, TROVE_FILE)
        command = [exe] if LINUX else ["wine", exe]
        # What the program says on standard error is kept for the message of a failed start.
        self.errors = tempfile.TemporaryFile()
        # A report of its own for each start: what the program has done, read as it goes.
        self.drop_report()
        fd, self.report = tempfile.mkstemp(prefix="trove-e2e-report-")
        os.close(fd)
        self.report_at, self.inputs, self.cursor, self.resting = 0, 0, None, False
        self.pages, self.sent = 0, 0  # pages reported; inputs sent, as the program counts them
        env = dict(self.env(program=True), TROVE_REPORT=program_path(self.report))
        self.proc = subprocess.Popen(list(launcher) + command + list(args),
                                     cwd=cwd or self.start_dir, env=env,
                                     stdout=subprocess.DEVNULL, stderr=self.errors)
        return self.proc

    def drop_report(self):
        if self.report and os.path.exists(self.report):
            os.remove(self.report)
        self.report = None

    def program_errors(self):
        if getattr(self, "errors", None) is None:
            return ""
        self.errors.seek(0)
        return self.errors.read()[-2000:].decode("latin-1")

    def run_helper(self, *args):
        """Runs the test helper in the background: "close [TITLE]" asks a window to close,
        "window TITLE" opens a focused window of another program (e2e_helper.exe under Wine,
        x11_helper for the Linux program)."""
        if LINUX:
            command = [os.path.join(BUILD, "x11_helper")]
        else:
            command = ["wine", os.path.join(BUILD, "e2e_helper.exe")]
        return subprocess.Popen(command + list(args), env=self.env(),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def list_directory(self, path):
        """Names in the order the program lists them: for the Linux program "." and ".."
        first, then in natural order (its locale is C.UTF-8 here); under Wine the order
        Windows' directory search gives."""
        if LINUX:
            names = [n for n in os.listdir(path) if n not in (".", "..")]
            return [".", ".."] + sorted(names, key=natural_key)
        out = tempfile.mktemp(prefix="trove-e2e-list-")
        helper = self.run_helper("list", wine_path(path), wine_path(out))
        helper.wait(timeout=60)
        try:
            with open(out, encoding="utf-8") as f:
                return [line.rstrip("\n") for line in f]
        finally:
            if os.path.exists(out):
                os.remove(out)

    def trove_pids(self):
        """The program's processes: the Linux program itself (a launcher such as setpriv
        executes it in its own process), or under Wine the processes of this desktop whose
        command line names trove.exe."""
        if LINUX:
            return [self.proc.pid] if self.proc and self.proc.poll() is None else []
        return self.desktop_pids(lambda cmdline, exe: b"trove.exe" in cmdline)

    def player_pids(self):
        """The Linux player's processes on this desktop."""
        return self.desktop_pids(lambda cmdline, exe: os.path.basename(exe) == PLAYER_FILE)

    def desktop_pids(self, matches):
        """The processes of this desktop for which matches(command line, executable) holds."""
        pids, display = [], ("DISPLAY=%s" % self.display).encode()
        for entry in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/cmdline" % entry, "rb") as f:
                    cmdline = f.read()
                with open("/proc/%s/environ" % entry, "rb") as f:
                    environ = f.read().split(b"\0")
                exe = os.readlink("/proc/%s/exe" % entry)
            except OSError:
                continue
            if display in environ and matches(cmdline, exe):
                pids.append(int(entry))
        return pids

    def resident_kib(self, pids=None):
        """Resident memory in KiB of the largest of the given processes, by default the
        program's own."""
        best = 0
        for pid in self.trove_pids() if pids is None else pids:
            try:
                with open("/proc/%d/status" % pid) as f:
                    for line in f:
                        if line.startswith("VmRSS:"):
                            best = max(best, int(line.split()[1]))
            except OSError:
                pass
        return best

    def wait_exit(self, timeout=30):
        return self.proc.wait(timeout=timeout)

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
        if not LINUX:
            subprocess.run(["wineserver", "-k"], env=self.env(), stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        if self.proc:
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait(timeout=10)
            self.xvfb = None
        if getattr(self, "errors", None) is not None:
            self.errors.close()
            self.errors = None
        if self.authority:
            shutil.rmtree(os.path.dirname(self.authority["trusted"]), ignore_errors=True)
            self.authority = None
        self.drop_report()

    # ---- X queries -------------------------------------------------------------------------
    def xdotool(self, *args, check=True):
        r = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env(),
                           capture_output=True, text=True)
        if check and r.returncode != 0:
            raise RuntimeError("xdotool %s failed: %s" % (args, r.stderr))
        return r.stdout

    def find_windows(self, title):
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                           env=self.env(), capture_output=True, text=True)
        return [int(w) for w in r.stdout.split()]

    def wait_window(self, title="GAME", timeout=60, gone=False):
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = self.find_windows(title)
            if bool(found) != gone and (gone or title != "GAME" or self.drawn(found[0])):
                return found[0] if found else None
            if self.proc and self.proc.poll() is not None and not gone:
                raise RuntimeError("program ended with %s before its window: %s" %
                                   (self.proc.returncode, self.program_errors()))
            time.sleep(0.2)
        state = "still there" if gone else "shown but never drawn" if found else "not found"
        raise RuntimeError("window %r %s" % (title, state))

    def geometry(self, window):
        out = subprocess.run(["xwininfo", "-id", str(window)], env=self.env(),
                             capture_output=True, text=True).stdout
        g = {}
        for line in out.splitlines():
            line = line.strip()
            for key, name in (("Absolute upper-left X:", "x"), ("Absolute upper-left Y:", "y"),
                              ("Width:", "width"), ("Height:", "height"),
                              ("Border width:", "border")):
                if line.startswith(key):
                    g[name] = int(line.split(":")[1])
        return g

    def wait_geometry(self, title, width, height, timeout=30, at=None):
        """Waits until a window of that title is width x height (and at the screen point at)."""
        deadline = time.time() + timeout
        g = None
        while time.time() < deadline:
            for w in self.find_windows(title):
                g = self.geometry(w)
                if (g.get("width"), g.get("height")) == (width, height) and \
                        at in (None, (g.get("x"), g.get("y"))) and \
                        (title != "GAME" or self.drawn(w)):
                    return g
            time.sleep(0.2)
        raise AssertionError("window %r never became %dx%d at %s (last %s)" %
                             (title, width, height, at, g))

    def drawn(self, window):
        """Whether the program has presented a frame into its main window since the window was
        made: until then the window is blank. Mapping comes before the first frame, and on a
        busy machine the frame can follow well over a second later; tests that read the screen
        wait for it rather than for the window alone. Every frame at start or after a change
        of display mode shows the overlay, whose title is yellow."""
        g = self.geometry(window)
        if "x" not in g:
            return False
        return self.screenshot().holds((255, 255, 0), g["x"], g["y"], g["x"] + g["width"],
                                       g["y"] + g["height"])

    def screenshot(self):
        data = subprocess.run(["xwd", "-root", "-silent"], env=self.env(),
                              capture_output=True, check=True).stdout
        return parse_xwd(data)

    # ---- what the program reports -----------------------------------------------------------
    # The program writes a line to the file TROVE_REPORT names as it works: "frame" for each
    # frame presented, "page" when a thumbnail page is complete, "rest INPUTS X Y" when it rests
    # having handled INPUTS key-downs and right presses, the cursor at (X, Y) on the screen.
    def read_report(self):
        """Takes in the lines the program has reported since the last look."""
        with open(self.report, "rb") as f:
            f.seek(self.report_at)
            data = f.read()
        whole = data[:data.rfind(b"\n") + 1]
        self.report_at += len(whole)
        for words in (line.split() for line in whole.decode().splitlines()):
            self.resting = words[0] == "rest"
            self.pages += words[0] == "page"
            if self.resting:
                self.inputs, self.cursor = int(words[1]), (int(words[2]), int(words[3]))

    def wait_report(self, done, what, timeout=60):
        """Waits until done() holds for what the program has reported, or the program ends.
        Only a fault takes as long as the timeout, however loaded the machine."""
        deadline = time.time() + timeout
        self.read_report()
        while not done() and self.proc.poll() is None:
            if time.time() > deadline:
                raise AssertionError("the program never reported " + what)
            time.sleep(0.01)
            self.read_report()

    def settle(self):
        """Waits until the program rests."""
        self.wait_report(lambda: self.resting, "a rest")

    def handled(self, send, page=False):
        """Sends input through send() and waits until the program rests having handled it (a
        key-down or right press more than all sent before); with page, having completed the
        thumbnail page the input began too."""
        self.read_report()
        before, pages = max(self.inputs, self.sent), self.pages
        self.sent = before + 1
        send()
        self.wait_report(lambda: self.resting and self.inputs > before and
                         (not page or self.pages > pages), "a rest after the input")

    # ---- input -----------------------------------------------------------------------------
    def key(self, *names, page=False):
        """Presses each key and waits until the program has handled it."""
        for name in names:
            self.handled(lambda: self.xdotool("key", name), page)

    def move(self, x, y):
        """Moves the cursor and waits until the program has seen it there and rests."""
        self.xdotool("mousemove", x, y)
        self.wait_report(lambda: self.cursor == (x, y), "the cursor at %d, %d" % (x, y))

    def right_click(self, x, y, page=False, wait=True):
        """Clicks at (x, y) and, with wait, waits until the program has handled it."""
        self.move(x, y)
        if wait:
            self.handled(lambda: self.xdotool("click", 3), page)
        else:
            self.sent = max(self.inputs, self.sent) + 1
            self.xdotool("click", 3)


class FileOpens:
    """The files opened in the given folders of root while it is entered, by any process (the
    program under Wine too), as paths relative to root: seen through inotify."""

    def __init__(self, root, folders):
        self.root, self.folders, self.seen = root, folders, set()

    def __enter__(self):
        libc = ctypes.CDLL(None, use_errno=True)
        self.fd = libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
        # IN_OPEN on each folder; a watch that fails leaves its folder unseen: the test fails.
        self.watches = {libc.inotify_add_watch(self.fd, os.path.join(self.root, f).encode(),
                                               0x20): f for f in self.folders}
        return self

    def __exit__(self, *args):
        os.close(self.fd)

    def opened(self):
        while select.select([self.fd], [], [], 0)[0]:
            data, at = os.read(self.fd, 65536), 0
            while at < len(data):
                wd, _, _, length = struct.unpack_from("iIII", data, at)
                name = data[at + 16:at + 16 + length].rstrip(b"\0").decode()
                if name and wd in self.watches:
                    self.seen.add(os.path.join(self.watches[wd], name))
                at += 16 + length
        return set(self.seen)


def files_below(root, folders):
    """Every file in the given folders of root, as paths relative to root."""
    return {os.path.join(folder, name) for folder in folders
            for name in os.listdir(os.path.join(root, folder))}


# The game's asset folders, as they lie beside the program or in its installed data folder.
ASSET_FOLDERS = ("bmp_cross", "bmp_unit", "bmp_land", "bmp_dungeon", "bmp_structure",
                 "bmp_item", "bmp_scr", "bmp_cube")


def canvas_to_screen(x, y, canvas_height, zoom, window_x=0, window_y=0):
    """Top-left screen pixel of canvas pixel (x, y); canvas row 0 is the bottom row."""
    return window_x + x * zoom, window_y + (canvas_height - 1 - y) * zoom


def canvas_click_point(x, y, canvas_height, zoom):
    """A screen point whose cursor mapping gives canvas pixel (x, y)."""
    return x * zoom + zoom // 2, canvas_height * zoom - y * zoom - zoom // 2


def player_line(media):
    """The line the player logs when handed media: the Windows player logs its
    parameter line, the Linux one its argument words joined by single blanks."""
    if LINUX:  # the Linux program writes a real '%' or '*' escaped
        media = media.replace("%", "%25").replace("*", "%2A")
    line = " rightful %s 0 " % media.replace(" ", "*")
    return " ".join(line.split()) if LINUX else line


def wine_path(path):
    """The Windows path under which Wine shows a POSIX path."""
    return "Z:" + path.replace("/", "\\")


def program_path(path):
    """A POSIX path as the program shows it and hands it to other programs."""
    return path if LINUX else wine_path(path)


def natural_key(name):
    """The Linux program's order in the C locales: runs of digits by value, before dots, before
    text, which compares by bytes with ASCII letters folded; equal names by their bytes."""
    raw = os.fsencode(name)
    units = []
    for run in re.findall(rb"\.|[0-9]+|[^.0-9]+", raw):
        if run == b".":
            units.append(2)
        elif run[:1].isdigit():
            digits = run.lstrip(b"0")
            units += [3, len(digits)] + [d - 48 for d in digits]
        else:
            units += [c + 16 + (32 if 65 <= c <= 90 else 0) for c in run] + [1]
    return units, raw


def bmp24(width, height, pixel):
    """A bottom-up 24-bit BMP; pixel(x, y) gives (r, g, b) with y = 0 the bottom row."""
    stride = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for y in range(height):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        data += row + b"\0" * (stride - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def animated_gif(side, colours, delay_cs):
    """A side x side GIF of one frame in each colour, each shown delay_cs hundredths of a
    second, looping for ever. Its codes are all literals, the table cleared every two."""
    codes = []
    for _ in range(side * side // 2):
        codes += [4, 1, 1]  # clear, then two pixels of the frame's own colour (index 1)
    bits = sum(code << (3 * i) for i, code in enumerate(codes + [5]))
    data = bits.to_bytes((3 * len(codes) + 3 + 7) // 8, "little")
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                      for i in range(0, len(data), 255)) + b"\0"
    size = side.to_bytes(2, "little") * 2
    out = b"GIF89a" + size + bytes([0, 0, 0])
    out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    for colour in colours:
        out += b"\x21\xf9\x04\x00" + delay_cs.to_bytes(2, "little") + b"\x00\x00"
        out += b"\x2c" + bytes(4) + size + b"\x81" + bytes(3) + bytes(colour) + bytes(6)
        out += b"\x02" + blocks
    return out + b"\x3b"


def process_seconds(pid):
    """The processor time the process has used, in seconds."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def red_with_blue_corner(x, y):
    """A picture for bmp24 that a test knows by heart: red, with a blue corner of 20 x 10 pixels
    at the bottom left."""
    return (0, 0, 255) if x < 20 and y < 10 else (255, 0, 0)


def make_tree(layout):
    """Creates a temporary directory tree from {relative path: bytes or None for a directory}."""
    root = tempfile.mkdtemp(prefix="trove-e2e-")
    for rel, content in layout.items():
        path = os.path.join(root, rel)
        if content is None:
            os.makedirs(path, exist_ok=True)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(content)
    return root


def remove_tree(root):
    shutil.rmtree(root, ignore_errors=True)


def snapshot_tree(root):
    """Names, sizes and modification times of everything below root."""
    result = {}
    for dirpath, dirnames, filenames in os.walk(root):
        for name in dirnames + filenames:
            p = os.path.join(dirpath, name)
            st = os.lstat(p)
            result[os.path.relpath(p, root)] = (st.st_size if not os.path.isdir(p) else -1,
                                                st.st_mtime_ns)
    return result
