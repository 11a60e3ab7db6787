#!/usr/bin/python3
"""Draws the editor's PNG images (background, fader handle, LEDs) into this folder, at 1x and, for screens at 200 %
and beyond, at 2x (the same names with "@2x").

Needs Debian's python3-pil and fonts-liberation. The images are committed, so builds never run this;
run it again after changing the picture and commit its output.
"""

import math
import os

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONT_DIR = "/usr/share/fonts/truetype/liberation"

WIDTH, HEIGHT = 410, 680
SCALE = 4  # shapes are drawn four times larger and box-filtered down, so edges are smooth
K = 1  # the output's pixels per editor pixel: 1 or 2, set by main() for each set of images

FIELD = (113, 152, 84)
PANEL = (169, 189, 110)
TRACK = (87, 118, 65)
OUTLINE = (137, 154, 89)
BOX_FILL = (201, 214, 152)
SOCKET = (118, 138, 76)
ARROW = (62, 80, 42)
TITLE_TEXT = (236, 241, 212)
LABEL_TEXT = (0, 0, 0)

# Panels: (name, top, bottom), x 8 to 399, bounds inclusive.
PANELS = [
    ("Snap to Scale", 32, 87),
    ("Main Voice", 96, 151),
    ("Parallel Voice", 160, 255),
    ("Rotator Voice 1", 264, 463),
    ("Rotator Voice 2", 472, 671),
]
PANEL_LEFT, PANEL_RIGHT = 8, 399
PANEL_RADIUS = 6

# Fader tracks: (label, y); each track is x 120 to 303, y to y + 5.
FADERS = [
    ("Velocity", 216), ("Interval", 192),
    ("Velocity", 420), ("Interval 1", 304), ("Interval 2", 329), ("Interval 3", 352), ("Interval 4", 376),
    ("Velocity", 628), ("Interval 1", 512), ("Interval 2", 536), ("Interval 3", 560), ("Interval 4", 584),
]
TRACK_LEFT, TRACK_RIGHT, TRACK_HEIGHT = 120, 303, 6

# LED sockets: (label or None, x, y, diameter) at the switches' rectangles.
LEDS = [
    ("Mute", 360, 128, 11), ("Mute", 359, 232, 11), ("Mute", 359, 439, 11),
    (None, 360, 304, 11), (None, 360, 328, 11), (None, 360, 352, 11), (None, 360, 376, 11),
    ("Mute", 359, 647, 11),
    (None, 360, 512, 11), (None, 360, 536, 11), (None, 360, 560, 11), (None, 360, 584, 11),
    (None, 111, 39, 12),
]

# Text boxes: (label, left, right, text y); the text control's top is text y, the box runs y - 3 to y + 16.
CHANNEL_BOX = (111, 152)
DELAY_BOX = (247, 288)
SCALE_BOX = (247, 352)
ALGORITHM_BOX = (111, 216)
TONIC_BOX = (111, 152)
BOXES = [
    ("Channel", *CHANNEL_BOX, 125), ("Delay", *DELAY_BOX, 125),
    ("Channel", *CHANNEL_BOX, 231), ("Delay", *DELAY_BOX, 231),
    ("Channel", *CHANNEL_BOX, 437), ("Algorithm", *ALGORITHM_BOX, 393), ("Delay", *DELAY_BOX, 439),
    ("Channel", *CHANNEL_BOX, 645), ("Algorithm", *ALGORITHM_BOX, 601), ("Delay", *DELAY_BOX, 645),
    ("Tonic", *TONIC_BOX, 61), ("Scale", *SCALE_BOX, 63),
]
BOX_ABOVE, BOX_BELOW, BOX_BORDER = 3, 16, 2
ARROW_LEFT, ARROW_RIGHT = 222, 232

LABEL_LEFT = 18      # labels of the left column start here
MIDDLE_LABEL_END = 240  # labels in front of the delay and scale boxes end here
LED_LABEL_GAP = 6


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size * K)


def fonts():
    global LABEL_FONT, SMALL_FONT, PANEL_FONT, PRODUCT_FONT, VENDOR_FONT
    LABEL_FONT = font("LiberationSans-Regular.ttf", 12)
    SMALL_FONT = font("LiberationSans-Regular.ttf", 10)
    PANEL_FONT = font("LiberationSans-Bold.ttf", 13)
    PRODUCT_FONT = font("LiberationSans-Bold.ttf", 20)
    VENDOR_FONT = font("LiberationSans-Italic.ttf", 13)


def big(x0, y0, x1, y1):
    """Inclusive editor pixel bounds to inclusive bounds on the supersampled canvas."""
    s = SCALE * K
    return [x0 * s, y0 * s, x1 * s + s - 1, y1 * s + s - 1]


def draw_box(draw, left, top, right, bottom, border):
    draw.rectangle(big(left, top, right, bottom), fill=OUTLINE)
    draw.rectangle(big(left + border, top + border, right - border, bottom - border), fill=BOX_FILL)


def draw_arrow(draw, left, top, right, bottom, up):
    """A one-pixel outlined box with a small triangle pointing up or down."""
    draw_box(draw, left, top, right, bottom, 1)
    cx = (left + right + 1) * SCALE * K / 2
    cy = (top + bottom + 1) * SCALE * K / 2
    half, rise = 2.5 * SCALE * K, 1.5 * SCALE * K
    tip, base = (cy - rise, cy + rise) if up else (cy + rise, cy - rise)
    draw.polygon([(cx - half, base), (cx + half, base), (cx, tip)], fill=ARROW)


def draw_shapes():
    s = SCALE * K
    canvas = Image.new("RGB", (WIDTH * s, HEIGHT * s), FIELD)
    draw = ImageDraw.Draw(canvas)
    for _, top, bottom in PANELS:
        draw.rounded_rectangle(big(PANEL_LEFT, top, PANEL_RIGHT, bottom), radius=PANEL_RADIUS * s, fill=PANEL)
    for _, y in FADERS:
        draw.rectangle(big(TRACK_LEFT, y, TRACK_RIGHT, y + TRACK_HEIGHT - 1), fill=TRACK)
    for _, left, right, y in BOXES:
        draw_box(draw, left, y - BOX_ABOVE, right, y + BOX_BELOW, BOX_BORDER)
    for _, left, right, y in BOXES:
        if (left, right) == ALGORITHM_BOX:
            top, bottom = y - BOX_ABOVE, y + BOX_BELOW
            middle = (top + bottom) // 2
            draw_arrow(draw, ARROW_LEFT, top, ARROW_RIGHT, middle, up=True)
            draw_arrow(draw, ARROW_LEFT, middle + 1, ARROW_RIGHT, bottom, up=False)
    for _, x, y, d in LEDS:
        bounds = [x * s, y * s, (x + d) * s - 1, (y + d) * s - 1]
        draw.ellipse(bounds, fill=SOCKET, outline=OUTLINE, width=int(1.5 * s))
    return canvas.resize((WIDTH * K, HEIGHT * K), Image.BOX)


def text_middle(draw, x, middle_y, text, fnt, fill, anchor="lm"):
    draw.text((x * K, middle_y * K), text, font=fnt, fill=fill, anchor=anchor)


def draw_labels(image):
    draw = ImageDraw.Draw(image)
    text_middle(draw, 10, 16, "Cyclochord", PRODUCT_FONT, TITLE_TEXT)
    text_middle(draw, PANEL_RIGHT, 17, "Larkspire", VENDOR_FONT, TITLE_TEXT, anchor="rm")

    for name, top, _ in PANELS:
        if name == "Snap to Scale":
            continue  # this panel's name labels the snap LED, set below
        text_middle(draw, LABEL_LEFT, top + 11, name, PANEL_FONT, LABEL_TEXT)

    for label, y in FADERS:
        text_middle(draw, LABEL_LEFT, y + TRACK_HEIGHT / 2, label, LABEL_FONT, LABEL_TEXT)

    for label, left, _, y in BOXES:
        middle = y + (BOX_BELOW - BOX_ABOVE) / 2 + 0.5
        if left == DELAY_BOX[0]:
            text_middle(draw, MIDDLE_LABEL_END, middle, label, LABEL_FONT, LABEL_TEXT, anchor="rm")
        else:
            text_middle(draw, LABEL_LEFT, middle, label, LABEL_FONT, LABEL_TEXT)

    for label, x, y, d in LEDS:
        if label:
            text_middle(draw, x - LED_LABEL_GAP, y + d / 2, label, LABEL_FONT, LABEL_TEXT, anchor="rm")
    snap_x, snap_y, snap_d = LEDS[-1][1:]
    text_middle(draw, LABEL_LEFT, snap_y + snap_d / 2, "Snap to Scale", PANEL_FONT, LABEL_TEXT)

    # Column heads over the interval mutes of both rotators.
    for first_row in (304, 512):
        text_middle(draw, 365.5, first_row - 9, "Mute", SMALL_FONT, LABEL_TEXT, anchor="mm")
    return image


def render(size, shade):
    """Antialiased sprite: shade(x, y) gives premultiplied-ready (r, g, b, a) or None at a point in pixels."""
    w, h = size
    samples = 8
    image = Image.new("RGBA", size, (0, 0, 0, 0))
    for py in range(h):
        for px in range(w):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    value = shade(px + (sx + 0.5) / samples, py + (sy + 0.5) / samples)
                    if value is None:
                        continue
                    r, g, b, a = value
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = samples * samples
            alpha = acc[3] / n
            if alpha <= 0:
                continue
            colour = tuple(int(round(c / acc[3])) for c in acc[:3])
            image.putpixel((px, py), colour + (int(round(alpha * 255)),))
    return image


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def disc(cx, cy, radius, rim, rim_colour, body):
    """A round sprite: body(dx, dy) colours the inside, rim_colour the outer ring of width rim."""

    def shade(x, y):
        dx, dy = x - cx, y - cy
        r = math.hypot(dx, dy)
        if r > radius:
            return None
        if r > radius - rim:
            return rim_colour + (1.0,)
        return body(dx / radius, dy / radius) + (1.0,)

    return shade


def knob(size):
    size *= K
    c = size / 2

    def body(dx, dy):
        # Light from the upper left: a bright spot fading to a cooler edge.
        light = math.hypot(dx + 0.35, dy + 0.35)
        return mix((250, 250, 240), (150, 158, 138), light / 1.2)

    return render((size, size), disc(c, c, c, 1.0 * K, (46, 58, 34), body))


def led(size, lit_colour, glow, margin):
    size *= K
    margin *= K
    c = size / 2

    def body(dx, dy):
        highlight = math.hypot(dx + 0.3, dy + 0.35)
        return mix(glow, lit_colour, highlight / 0.9)

    return render((size, size), disc(c, c, c - margin, 1.0 * K, (50, 40, 30), body))


def stack(frames):
    w, h = frames[0].size
    image = Image.new("RGBA", (w, h * len(frames)), (0, 0, 0, 0))
    for i, frame in enumerate(frames):
        image.paste(frame, (0, h * i))
    return image


def save(image, name):
    if K != 1:
        stem, ext = os.path.splitext(name)
        name = "%s@%dx%s" % (stem, K, ext)
    image.save(os.path.join(HERE, name), compress_level=9)


def draw_all():
    fonts()
    save(draw_labels(draw_shapes()), "bg.png")
    save(knob(12), "fader-handle.png")
    # The mute LED's off frame is empty: the socket in the background shows through.
    save(stack([Image.new("RGBA", (11 * K, 11 * K), (0, 0, 0, 0)), led(11, (214, 38, 24), (255, 196, 170), 1.0)]),
         "mute-led.png")
    save(stack([led(11, (30, 40, 70), (80, 95, 130), 1.0), led(11, (70, 110, 200), (200, 225, 255), 1.0)]),
         "spare-led.png")
    save(stack([led(12, (72, 84, 46), (128, 140, 100), 1.0), led(12, (236, 196, 24), (255, 250, 210), 1.0)]),
         "snap-led.png")


def main():
    global K
    for K in (1, 2):
        draw_all()


if __name__ == "__main__":
    main()
