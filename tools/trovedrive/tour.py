"""A short scripted tour of Trove on a private screen, saving screenshots along the way.

    python3 -m trovedrive.tour [OUT]   (tools/ on PYTHONPATH; `make run` without a display)
"""
import os
import sys

import trovedrive
from trovedrive.canvas import CANVAS_H, ZOOM, cell_origin, row_click


def missing_pieces():
    """The files the tour drives or reads that are not there, by path."""
    helper = "x11_helper" if trovedrive.LINUX else "e2e_helper.exe"
    needed = [os.path.join(trovedrive.DIST, trovedrive.TROVE_FILE),
              os.path.join(trovedrive.DIST, trovedrive.PLAYER_FILE),
              os.path.join(trovedrive.BUILD, helper)]
    return [p for p in needed if not os.path.isfile(p)]


def main(out_dir):
    missing = missing_pieces()
    if missing:
        for p in missing:
            print("tour: missing %s" % p, file=sys.stderr)
        print("tour: 'make run' (or 'make run-wine') builds every piece it needs",
              file=sys.stderr)
        return 1
    os.makedirs(out_dir, exist_ok=True)
    shots = []

    def shot(desk, name):
        path = os.path.join(out_dir, name + ".png")
        desk.screenshot().save_png(path)
        shots.append(path)

    def open_entry(desk, directory, name):
        k = desk.list_directory(directory).index(name) + 1
        desk.right_click(*row_click(k))
        desk.right_click(*row_click(k))

    dist = trovedrive.DIST
    with trovedrive.Desktop(screen=(1280, 1024)) as s:
        s.start()
        s.wait_window("GAME")
        s.wait_geometry("GAME", 1280, 1024)
        s.move(700, 500)
        shot(s, "01-list-of-dist")

        # Into the game's unit pictures: their list, then their thumbnail page.
        open_entry(s, dist, "bmp_unit")
        s.move(900, 300)
        shot(s, "02-list-of-bmp_unit")
        s.key("t", page=True)
        shot(s, "03-thumbnails-of-bmp_unit")

        # A picture opened from the page, scaled up, then back to the page and the list.
        units = s.list_directory(os.path.join(dist, "bmp_unit"))
        x0, y0 = cell_origin(units.index("unit_dragon.bmp"))
        s.right_click(*trovedrive.canvas_click_point(x0 + 70, y0 + 60, CANVAS_H, ZOOM))
        s.key("2", "8")
        s.move(640, 512)
        shot(s, "04-picture-view")
        s.right_click(640, 512, page=True)
        shot(s, "05-back-to-the-page")
        s.key("t")
        open_entry(s, os.path.join(dist, "bmp_unit"), "..")
        shot(s, "06-back-in-dist")

        # The sample pictures the build makes.
        if os.path.isdir(os.path.join(dist, "samples")):
            open_entry(s, dist, "samples")
            s.key("t", page=True)
            shot(s, "07-thumbnails-of-samples")
            s.key("t")
            # A file handed to the player: select its row, then P.
            samples = s.list_directory(os.path.join(dist, "samples"))
            k = samples.index("Evening Lake.jpg") + 1
            s.right_click(*row_click(k))
            s.key("p")
            player = "Spool video and audio player"
            s.wait_geometry(player, 600, 600)
            shot(s, "08-player")
            s.run_helper("close", player).wait(timeout=30)
            s.wait_window(player, gone=True)

        # 1280 x 960 at zoom 1.
        s.key("F6")
        s.wait_geometry("GAME", 1280, 960)
        s.settle()
        shot(s, "09-mode-1280x960")
        s.key("Escape")
        code = s.wait_exit()
    for p in shots:
        print(p)
    print("Trove ended with exit code %d" % code)
    return 0 if code == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(trovedrive.ROOT, "out")))
