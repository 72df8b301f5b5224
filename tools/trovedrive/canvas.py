"""The program's canvas as read off the screen of a Desktop of 1280 x 1024: at start-up the
canvas is half the screen at zoom 2, 640 x 512, in the window at the screen's top-left corner.
Canvas row 0 is the bottom row. Shared by the end-to-end tests, the tour and the soak."""
import trovedrive

RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)
YELLOW, WHITE = (255, 255, 0), (255, 255, 255)
CANVAS_W, CANVAS_H, ZOOM = 640, 512, 2

# Glyph widths of the program's font (advance = width + 1).
WIDTHS = {}
for chars, w in ((":il", 1), ("!'(),;=[]fjr", 2),
                 ('"$%+-.0123456789<>?ABCDEFGHIKLPSTUVY^_bcdeghknopqstuvxyz', 3),
                 ("&/JNOQRZ\\a", 4), ("#*MWXmw", 5), ("@", 7)):
    for c in chars:
        WIDTHS[c] = w


def advance(c):
    return WIDTHS.get(c, 2) + 1


def pixel(shot, x, y):
    """The colour of canvas pixel (x, y) in a screenshot."""
    sx, sy = trovedrive.canvas_to_screen(x, y, CANVAS_H, ZOOM)
    return shot.pixel(sx, sy)


class ListScreen:
    """Reads list rows off a screenshot: row i of a column at x, y = top - 8 i."""

    def __init__(self, shot, scroll_x=0, scroll_y=0):
        self.shot = shot
        self.scroll_x = scroll_x
        self.scroll_y = scroll_y

    def pixel(self, x, y):
        if not (0 <= x < CANVAS_W and 0 <= y < CANVAS_H):
            return None
        return pixel(self.shot, x, y)

    def row_colours(self, i, width=120):
        y = self.scroll_y + CANVAS_H - 8 * i - 26
        x0 = self.scroll_x + 10
        colours = set()
        for yy in range(y - 6, y + 1):  # glyph rows 2 to 8: no neighbour reaches them
            for xx in range(x0, x0 + width):
                p = self.pixel(xx, yy)
                if p in (RED, GREEN, YELLOW):
                    colours.add(p)
        return colours

    def rows(self, n):
        return [self.row_colours(i) for i in range(1, n + 1)]


def row_click(i, scroll_x=0, scroll_y=0):
    """A screen point on list row i."""
    y = scroll_y + CANVAS_H - 8 * i - 26
    return trovedrive.canvas_click_point(scroll_x + 11, y - 4, CANVAS_H, ZOOM)


# The thumbnail page's cells.
CELL = 140
COLUMNS = (CANVAS_W - 2) // CELL  # 4
ROWS = (CANVAS_H - 62) // CELL    # 3


def cell_origin(index):
    """Bottom-left corner (x0, y0) of the cell at page position index."""
    c, r = index % COLUMNS, index // COLUMNS
    return CELL * c + 10, CANVAS_H - CELL * r - CELL - 31
