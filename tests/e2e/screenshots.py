"""Screenshots of the private desktop and the pixel checks made on them.

Pictures are taken with ImageMagick's `import` and read back with GdkPixbuf, so a
test can both keep the PNG as evidence and look at single pixels.
"""

import subprocess
from collections import Counter
from pathlib import Path

import gi

gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf  # noqa: E402


def screenshot(env, path, window=None):
    """Saves the whole screen (or one window, by X id or xwindows.Window) as PNG; returns an Image."""
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    target = "root" if window is None else getattr(window, "id", window)
    subprocess.run(["import", "-silent", "-window", str(target), f"png:{path}"],
                   env=env, check=True, capture_output=True, timeout=30)
    return Image.load(path)


class Image:
    """An RGB picture held in memory; coordinates are pixels from its top-left corner."""

    def __init__(self, pixbuf):
        self.pixbuf = pixbuf
        self.width = pixbuf.get_width()
        self.height = pixbuf.get_height()
        self._channels = pixbuf.get_n_channels()
        self._stride = pixbuf.get_rowstride()
        self._pixels = pixbuf.get_pixels()

    @classmethod
    def load(cls, path):
        return cls(GdkPixbuf.Pixbuf.new_from_file(str(path)))

    def pixel(self, x, y):
        """(r, g, b) at (x, y)."""
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"pixel ({x}, {y}) outside a {self.width}x{self.height} picture")
        offset = y * self._stride + x * self._channels
        return tuple(self._pixels[offset:offset + 3])

    def crop(self, x, y, width, height):
        """A copy of the given rectangle (clipped to the picture)."""
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + width), min(self.height, y + height)
        if x1 <= x0 or y1 <= y0:
            raise ValueError(f"rectangle {x},{y} {width}x{height} lies outside the picture")
        return Image(self.pixbuf.new_subpixbuf(x0, y0, x1 - x0, y1 - y0).copy())

    def colours(self):
        """How often each (r, g, b) occurs."""
        counts = Counter()
        for y in range(self.height):
            row = y * self._stride
            for x in range(self.width):
                offset = row + x * self._channels
                counts[tuple(self._pixels[offset:offset + 3])] += 1
        return counts

    def mean(self):
        """The average colour as (r, g, b) floats."""
        total = [0, 0, 0]
        for colour, count in self.colours().items():
            for channel in range(3):
                total[channel] += colour[channel] * count
        pixels = self.width * self.height
        return tuple(value / pixels for value in total)

    def save(self, path):
        self.pixbuf.savev(str(path), "png", [], [])


def close_to(colour, expected, tolerance=8):
    """True when every channel of `colour` is within `tolerance` of `expected`."""
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))
