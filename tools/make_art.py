#!/usr/bin/python3
"""Draws Mirvane's icon and pictures: a memory card, in 256 colours.

Writes window/art/mirvane.ico (32 x 32) and the same icon as
window/art/mirvane-32.png, window/art/Image1.gif (43 x 44) and
window/art/btnStart.gif (37 x 35), and both pictures again at twice the size
(Image1@2x.gif, btnStart@2x.gif). The GIFs are single-frame GIF89a images
with a full 256-entry colour table whose entry 15 is transparent; the icon is
one 8-bit (256-colour) bitmap with its transparency mask. Drawing uses Pillow
(Debian: python3-pil); the output is the same on every run.

    tools/make-art.sh      (installs Pillow, then runs this script)
"""
import pathlib
import struct

from PIL import Image, ImageDraw

ART = pathlib.Path(__file__).resolve().parent.parent / "window" / "art"
TRANSPARENT = 15

# The colours the drawings use, by name; every other entry of the 256 is a
# grey ramp, so the table is always full. Entry 15 is the transparent one.
COLOURS = {
    "outline": (40, 44, 52),
    "body": (164, 170, 182),
    "body_light": (206, 211, 220),
    "body_dark": (120, 126, 138),
    "label": (236, 238, 242),
    "stripe": (32, 96, 200),
    "stripe_light": (96, 156, 236),
    "contact": (214, 170, 60),
    "arrow": (28, 150, 72),
    "arrow_dark": (16, 96, 44),
}


def palette():
    entries = [(i, i, i) for i in range(256)]
    entries[TRANSPARENT] = (255, 0, 255)
    index = {}
    slot = 16
    for name, rgb in COLOURS.items():
        entries[slot] = rgb
        index[name] = slot
        slot += 1
    flat = [channel for rgb in entries for channel in rgb]
    return flat, index


class Scaled:
    """Draws a design laid out on the 1x pixel grid at s times its size: each
    1x pixel becomes an s x s block, so lines stay one design pixel wide and
    edges stay sharp, while slopes get the finer steps of the larger grid."""

    def __init__(self, draw, s):
        self.draw, self.s = draw, s

    def point(self, x, y):
        # The centre of the block that stands for pixel (x, y).
        half = (self.s - 1) / 2
        return (x * self.s + half, y * self.s + half)

    def box(self, box):
        left, top, right, bottom = box
        return (left * self.s, top * self.s, right * self.s + self.s - 1, bottom * self.s + self.s - 1)

    def polygon(self, points, fill, outline):
        if self.s == 1:
            self.draw.polygon(points, fill=fill, outline=outline)
            return
        scaled = [self.point(x, y) for x, y in points]
        self.draw.polygon(scaled, fill=fill)
        self.draw.line(scaled + scaled[:1], fill=outline, width=self.s, joint="curve")

    def line(self, start, end, fill):
        # Only level and upright lines are drawn: a rectangle at any scale.
        self.rectangle((min(start[0], end[0]), min(start[1], end[1]),
                        max(start[0], end[0]), max(start[1], end[1])), fill=fill)

    def rectangle(self, box, fill, outline=None):
        if outline is None:
            self.draw.rectangle(self.box(box), fill=fill)
            return
        self.draw.rectangle(self.box(box), fill=outline)
        left, top, right, bottom = self.box(box)
        inner = (left + self.s, top + self.s, right - self.s, bottom - self.s)
        if inner[0] <= inner[2] and inner[1] <= inner[3]:
            self.draw.rectangle(inner, fill=fill)


def card(draw, c, box, slots=6):
    """A memory card filling box: a body with a cut corner, a label with a
    stripe, and gold contacts along the bottom."""
    left, top, right, bottom = box
    cut = max(2, (right - left) // 6)
    body = [(left, top), (right - cut, top), (right, top + cut), (right, bottom), (left, bottom)]
    draw.polygon(body, fill=c["body"], outline=c["outline"])
    draw.line((left + 1, top + 1), (right - cut, top + 1), fill=c["body_light"])
    draw.line((left + 1, top + 1), (left + 1, bottom - 1), fill=c["body_light"])
    draw.line((left + 1, bottom - 1), (right - 1, bottom - 1), fill=c["body_dark"])
    draw.line((right - 1, top + cut), (right - 1, bottom - 1), fill=c["body_dark"])
    height = bottom - top
    label = (left + 3, top + 3, right - 3, top + height * 11 // 20)
    draw.rectangle(label, fill=c["label"], outline=c["outline"])
    stripe_top = label[1] + (label[3] - label[1]) // 3
    draw.rectangle((label[0] + 1, stripe_top, label[2] - 1, stripe_top + max(1, height // 10)),
                   fill=c["stripe"])
    draw.line((label[0] + 1, stripe_top), (label[2] - 1, stripe_top), fill=c["stripe_light"])
    width = right - left - 6
    pitch = width / slots
    contact_top = bottom - max(3, height // 6)
    for n in range(slots):
        x0 = left + 3 + round(n * pitch) + 1
        x1 = left + 3 + round((n + 1) * pitch) - 1
        draw.rectangle((x0, contact_top, max(x0, x1), bottom - 2), fill=c["contact"])


def arrow(draw, c, box):
    """A right-pointing arrow: what the Convert button does."""
    left, top, right, bottom = box
    middle = (top + bottom) // 2
    shaft = max(1, (bottom - top) // 5)
    head = left + (right - left) * 11 // 20
    points = [(left, middle - shaft), (head, middle - shaft), (head, top), (right, middle),
              (head, bottom), (head, middle + shaft), (left, middle + shaft)]
    draw.polygon(points, fill=c["arrow"], outline=c["arrow_dark"])


def picture(width, height, paint, s=1):
    flat, index = palette()
    image = Image.new("P", (width * s, height * s), TRANSPARENT)
    image.putpalette(flat)
    paint(Scaled(ImageDraw.Draw(image), s), index)
    return image


def save_gif(image, name):
    image.save(ART / name, format="GIF", transparency=TRANSPARENT, optimize=False)


def save_ico(image, name):
    """One 32 x 32 entry, 8 bits per pixel, bottom-up, with an AND mask."""
    width, height = image.size
    rgb = image.getpalette()[: 256 * 3]
    table = b"".join(bytes((rgb[i + 2], rgb[i + 1], rgb[i], 0)) for i in range(0, 768, 3))
    pixels = image.tobytes()
    rows = [pixels[y * width:(y + 1) * width] for y in range(height)]
    xor = b"".join(reversed(rows))
    mask_stride = ((width + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, value in enumerate(row):
            if value == TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 8, 0, len(xor) + len(mask),
                         0, 0, 256, 0)
    body = header + table + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", width, height, 0, 0, 1, 8, len(body), 6 + 16)
    (ART / name).write_bytes(directory + body)


def convert(d, c):
    card(d, c, (1, 3, 17, 31), slots=4)
    arrow(d, c, (20, 10, 35, 24))


def main():
    ART.mkdir(parents=True, exist_ok=True)
    icon = picture(32, 32, lambda d, c: card(d, c, (4, 1, 27, 30)))
    save_ico(icon, "mirvane.ico")
    # Linux desktops take their icons as PNG.
    icon.save(ART / "mirvane-32.png", format="PNG", transparency=TRANSPARENT, optimize=False)
    # Each picture also at twice its size, for screens of 192 dots per inch
    # and for scaling down smoothly to the densities in between.
    for s, suffix in ((1, ""), (2, "@2x")):
        save_gif(picture(43, 44, lambda d, c: card(d, c, (6, 2, 36, 42), slots=7), s),
                 f"Image1{suffix}.gif")
        save_gif(picture(37, 35, convert, s), f"btnStart{suffix}.gif")


if __name__ == "__main__":
    main()
