"""Handing a file to the player: the second right click and the P key start the player with
the expected parameters and move its window over Trove's; without the player Trove keeps
running; F7 opens the explorer on the browsed directory (Windows program). The Linux player
plays media made here by GStreamer's own command-line tool: video that moves, pauses and ends,
a second file that replaces the first, sound with its progress line, files it cannot play."""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import trovedrive
from trovedrive.canvas import CANVAS_H, RED, ZOOM, ListScreen, row_click

PLAYER = "Spool video and audio player"


class PlayerTest(unittest.TestCase):
    def setUp(self):
        self.root = trovedrive.make_tree({"clip one.avi": b"\x01" * 4321, "music": None})
        self.log = tempfile.mktemp(prefix="trove-e2e-spool-", suffix=".log")

    def tearDown(self):
        trovedrive.remove_tree(self.root)
        if os.path.exists(self.log):
            os.remove(self.log)

    def log_lines(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="latin-1") as f:
            return f.read().splitlines()

    def wait_log(self, count, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline and len(self.log_lines()) < count:
            time.sleep(0.2)
        return self.log_lines()

    def test_second_click_and_play_key_start_the_player_over_the_window(self):
        # The player beside the program plays the files of the folder browsed.
        env = {"SPOOL_LOG": trovedrive.program_path(self.log)}
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=self.root, env=env) as s:
            s.start()
            s.wait_window("GAME")
            names = s.list_directory(self.root)
            k = names.index("clip one.avi") + 1
            media = trovedrive.program_path(self.root) + trovedrive.SEPARATOR + "clip one.avi"
            expected = trovedrive.player_line(media)

            # First click selects; nothing starts.
            s.right_click(*row_click(k))
            self.assertEqual(ListScreen(s.screenshot()).row_colours(k), {RED})
            self.assertEqual(self.log_lines(), [])

            # Second click starts the player once; its window ends at (0, 0), 600 x 600.
            s.right_click(*row_click(k))
            self.assertEqual(self.wait_log(1), [expected])
            s.wait_geometry(PLAYER, 600, 600, at=(0, 0))
            self.assertEqual(self.log_lines(), [expected])
            s.run_helper("close", PLAYER).wait(timeout=30)
            s.wait_window(PLAYER, gone=True)

            # With the list moved, P places the player by the scroll offsets:
            # x = (213 + 0) * 2, y = 170 * 2.
            s.right_click(*trovedrive.canvas_click_point(405, CANVAS_H - 15, CANVAS_H, ZOOM))
            s.key("p")
            self.assertEqual(self.wait_log(2), [expected, expected])
            s.wait_geometry(PLAYER, 600, 600, at=(426, 340))
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)

    def test_without_the_player_the_program_says_so_and_keeps_running(self):
        # The program alone in a folder, without the player beside it.
        exe = os.path.join(self.root, trovedrive.TROVE_FILE)
        shutil.copy(os.path.join(trovedrive.DIST, trovedrive.TROVE_FILE), exe)
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=self.root) as s:
            s.start(exe=exe)
            s.wait_window("GAME")
            names = s.list_directory(self.root)
            k = names.index("clip one.avi") + 1
            s.right_click(*row_click(k))
            s.right_click(*row_click(k), wait=False)  # the box holds the program up
            # A box names the player that could not be started; it is dismissed.
            s.wait_window("ERROR", timeout=30)
            if trovedrive.LINUX:
                player = os.path.join(self.root, trovedrive.PLAYER_FILE)
                self.assertIn("ERROR: The player could not be started: " + player,
                              s.program_errors())
            s.run_helper("close", "ERROR").wait(timeout=30)
            s.wait_window("ERROR", gone=True)
            self.assertIsNone(s.proc.poll())
            # Still answering keys: right Shift scrolls to the last entry.
            self.assertNotEqual(ListScreen(s.screenshot()).row_colours(2), set())
            s.key("Shift_R")
            self.assertEqual(ListScreen(s.screenshot()).row_colours(2), set())
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)

    @unittest.skipIf(trovedrive.LINUX, "the explorer window and its title are Windows'")
    def test_f7_opens_the_explorer_on_the_browsed_directory(self):
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=self.root) as s:
            s.start()
            s.wait_window("GAME")
            s.settle()
            before = set(s.xdotool("search", "--onlyvisible", "--name", ".",
                                   check=False).split())
            s.key("F7")
            deadline = time.time() + 30
            new = set()
            while time.time() < deadline and not new:
                now = set(s.xdotool("search", "--onlyvisible", "--name", ".",
                                    check=False).split())
                new = now - before
                time.sleep(0.3)
            titles = [s.xdotool("getwindowname", w, check=False).strip() for w in new]
            folder = os.path.basename(self.root)
            self.assertTrue(any(folder in t for t in titles), titles)
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)


# Test media, each made by one pipeline of GStreamer's command-line tool: a ball on blue in
# 4:3 for 6 s, a ball in Ogg/Theora for 3 s, a 2 s tone, a 6 s tone.
MEDIA = {
    "ball clip.webm": "videotestsrc num-buffers=90 pattern=ball background-color=0xff2040c0 ! "
                      "video/x-raw,width=320,height=240,framerate=15/1 ! vp8enc deadline=1 ! "
                      "webmmux",
    "ball.ogv": "videotestsrc num-buffers=45 pattern=ball ! "
                "video/x-raw,width=320,height=240,framerate=15/1 ! theoraenc ! oggmux",
    "tone.wav": "audiotestsrc num-buffers=90 ! wavenc",
    "tab.wav": "audiotestsrc num-buffers=260 ! wavenc",
}


TAB_NAME = "tone\ta*b 5%.wav"


def make_media(folder):
    for name, pipeline in MEDIA.items():
        subprocess.run(["gst-launch-1.0", "-q"] + pipeline.split() +
                       ["!", "filesink", "location=" + os.path.join(folder, name)], check=True)
    # A WebM file cut short after its first bytes, the rest of it noise.
    with open(os.path.join(folder, "ball clip.webm"), "rb") as f:
        head = f.read(200)
    with open(os.path.join(folder, "damaged.webm"), "wb") as f:
        f.write(head + bytes((i * 37) % 251 for i in range(4000)))
    # A name the pipeline cannot write: a tab, a '*', a space and a '%' in it.
    os.rename(os.path.join(folder, "tab.wav"), os.path.join(folder, TAB_NAME))


def lines(path):
    with open(path, encoding="utf-8") as f:
        return f.read().splitlines()


def region(shot, g):
    """The window's pixels as bytes, row by row."""
    rows = []
    for y in range(g["y"], g["y"] + g["height"]):
        start = (y * shot.width + g["x"]) * 3
        rows.append(bytes(shot.rgb[start:start + g["width"] * 3]))
    return rows


def wait_change(s, g, timeout=20):
    """Whether the window's content changes within the time given."""
    first = region(s.screenshot(), g)
    deadline = time.time() + timeout
    while time.time() < deadline:
        time.sleep(0.3)
        if region(s.screenshot(), g) != first:
            return True
    return False


def lit(rows):
    """Whether anything but black is drawn."""
    return any(row.strip(b"\0") for row in rows)


@unittest.skipUnless(trovedrive.LINUX, "the GStreamer player is the Linux program's")
class LinuxPlayerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = trovedrive.make_tree({})
        make_media(cls.root)
        cls.spool = os.path.join(trovedrive.DIST, trovedrive.PLAYER_FILE)

    @classmethod
    def tearDownClass(cls):
        trovedrive.remove_tree(cls.root)

    def play(self, s, name):
        """Starts the player on a file of the folder by itself, with its standard error kept."""
        path = os.path.join(self.root, name).replace(" ", "*")
        return subprocess.Popen([self.spool, "rightful", path, "0"], env=s.env(program=True),
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)

    def test_video_plays_pauses_ends_and_a_second_file_replaces_it(self):
        log = tempfile.mktemp(prefix="trove-e2e-spool-", suffix=".log")
        self.addCleanup(lambda: os.path.exists(log) and os.remove(log))
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=self.root,
                               env={"SPOOL_LOG": log}) as s:
            # The rows clicked while a file plays lie under the player's window, which takes
            # them in its own right: desktop-wide input reaches Trove through it.
            s.start(args=["--global-input"])
            s.wait_window("GAME")
            names = s.list_directory(self.root)
            s.right_click(*row_click(names.index("ball clip.webm") + 1))
            s.right_click(*row_click(names.index("ball clip.webm") + 1))
            window = s.wait_window(PLAYER)
            g = s.wait_geometry(PLAYER, 600, 600)
            # The 4:3 picture fills the width, black bars above and below.
            self.assertTrue(wait_change(s, g), "the picture never moved")
            rows = region(s.screenshot(), g)
            self.assertFalse(lit(rows[:70]) or lit(rows[-70:]))
            self.assertTrue(lit(rows[80:520]))

            # Space pauses: the picture stands still; space again and it runs to its end.
            s.xdotool("key", "--window", window, "space")
            time.sleep(1.0)
            self.assertFalse(wait_change(s, g, timeout=1.5), "the picture moved while paused")
            s.xdotool("key", "--window", window, "space")
            s.wait_window(PLAYER, gone=True, timeout=30)

            # A second file while the first plays: one window, the first player gone.
            s.right_click(*row_click(names.index("ball clip.webm") + 1))
            s.wait_window(PLAYER)
            s.right_click(*row_click(names.index("ball.ogv") + 1))
            s.key("p")
            deadline = time.time() + 30
            while time.time() < deadline and (len(lines(log)) < 3 or len(s.player_pids()) != 1):
                time.sleep(0.2)
            self.assertEqual(len(s.player_pids()), 1)
            self.assertEqual(lines(log)[2], "rightful %s/ball.ogv 0" % self.root)
            s.wait_geometry(PLAYER, 600, 600)
            self.assertEqual(len(s.find_windows(PLAYER)), 1)
            s.wait_window(PLAYER, gone=True, timeout=30)

            # A name with a tab and a '*' plays: its progress line moves, nothing is reported.
            s.right_click(*row_click(names.index(TAB_NAME) + 1))
            s.key("p")
            g = s.wait_geometry(PLAYER, 600, 600)
            self.assertTrue(wait_change(s, g), "the progress line never moved")
            self.assertEqual(len(s.find_windows(PLAYER)), 1)
            s.wait_window(PLAYER, gone=True, timeout=30)
            self.assertEqual(lines(log)[3], "rightful %s/%s 0" %
                             (self.root, "tone\ta%2Ab*5%25.wav"))
            self.assertNotIn("spool:", s.program_errors())
            # Trove itself carried on throughout.
            self.assertIsNone(s.proc.poll())
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)

    def test_sound_shows_its_progress_and_bad_files_say_why(self):
        with trovedrive.Desktop(screen=(1280, 1024)) as s:
            # A tone: its name and a progress line that advances; the window closes at its end.
            tone = self.play(s, "tone.wav")
            s.wait_window(PLAYER)
            g = s.geometry(s.find_windows(PLAYER)[0])
            self.assertTrue(wait_change(s, g), "the progress line never moved")
            self.assertEqual(tone.wait(timeout=30), 0)
            tone.communicate()

            # Files it cannot play: a line says why until the window is closed or for 5 s,
            # and the player ends with 1. A pipe is refused without being opened.
            os.mkfifo(os.path.join(self.root, "pipe.ogv"))
            self.addCleanup(os.remove, os.path.join(self.root, "pipe.ogv"))
            for name, why, close in (("damaged.webm", "Damaged: ", True),
                                     ("no such file.ogv", "File not found: ", False),
                                     ("pipe.ogv", "Not a media file: ", True)):
                bad = self.play(s, name)
                said = bad.stderr.readline() + bad.stderr.readline()
                if close:
                    s.run_helper("close", PLAYER).wait(timeout=30)
                self.assertEqual(bad.wait(timeout=30), 1, name)
                self.assertTrue(said.startswith("spool: Cannot play %s\nspool: %s" % (name, why)),
                                said)
                bad.stderr.close()

if __name__ == "__main__":
    unittest.main(verbosity=2)
