"""A short scripted tour of Trove on a private screen, saving screenshots along the way."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import trove_e2e  # noqa: E402


def main(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    shots = []

    def shot(session, name):
        path = os.path.join(out_dir, name + ".png")
        session.screenshot().save_png(path)
        shots.append(path)

    with trove_e2e.Session(screen=(1280, 1024)) as s:
        s.start()
        s.wait_window("GAME")
        s.wait_geometry("GAME", 1280, 1024)
        time.sleep(2.0)
        s.move(640, 300)
        shot(s, "01-list-of-dist")
        s.key("F6")
        s.wait_geometry("GAME", 1280, 960)
        time.sleep(1.0)
        shot(s, "02-mode-1280x960")
        s.key("F5")
        s.wait_geometry("GAME", 1280, 1024)
        s.key("Escape")
        code = s.wait_exit()
    for p in shots:
        print(p)
    print("Trove ended with exit code %d" % code)
    return 0 if code == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(trove_e2e.ROOT, "out")))
