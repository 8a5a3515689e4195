#!/usr/bin/env python3
"""Draws the program's toolbar icons (22 x 22, with alpha) and its splash image (130 x 130,
opaque) as PNG files next to this script. Pure Python: the images are ours, made by code."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write_png(path, w, h, px, alpha):
    rows = b""
    for y in range(h):
        rows += b"\x00"
        for x in range(w):
            r, g, b, a = px[y][x]
            rows += bytes((r, g, b, a)) if alpha else bytes((r, g, b))
    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


class Canvas:
    def __init__(self, w, h, bg=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[bg for _ in range(w)] for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, fill, line=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                self.put(x, y, line if (edge and line) else fill)

    def line(self, x0, y0, x1, y1, c, width=1):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            x = x0 + (x1 - x0) * i / n
            y = y0 + (y1 - y0) * i / n
            for dx in range(width):
                for dy in range(width):
                    self.put(int(round(x)) + dx - width // 2, int(round(y)) + dy - width // 2, c)

    def disc(self, cx, cy, r, c, ring=None):
        for y in range(self.h):
            for x in range(self.w):
                d = math.hypot(x - cx, y - cy)
                if ring is not None and r - ring <= d <= r:
                    self.put(x, y, c)
                elif ring is None and d <= r:
                    self.put(x, y, c)

    def save(self, name, alpha=True):
        write_png(os.path.join(HERE, name), self.w, self.h, self.px, alpha)


INK = (40, 44, 52, 255)
PAPER = (250, 250, 244, 255)
BLUE = (52, 101, 164, 255)
GOLD = (214, 160, 40, 255)
GREEN = (78, 154, 6, 255)
RED = (190, 40, 40, 255)
GREY = (150, 150, 150, 255)


def page(c, x0=5, y0=2, x1=16, y1=19):
    c.rect(x0, y0, x1, y1, PAPER, INK)
    for y in range(y0, y0 + 4):
        for x in range(x1 - 3 + (y - y0), x1 + 1):
            c.put(x, y, (0, 0, 0, 0))
    c.line(x1 - 4, y0, x1, y0 + 4, INK)


def filenew():
    c = Canvas(22, 22); page(c)
    c.line(17, 14, 17, 20, GOLD, 2); c.line(14, 17, 20, 17, GOLD, 2)
    return c


def fileopen():
    c = Canvas(22, 22)
    c.rect(2, 5, 9, 8, GOLD, INK)
    c.rect(2, 7, 19, 18, GOLD, INK)
    c.line(5, 11, 20, 11, INK); c.line(5, 11, 2, 18, INK)
    return c


def datadir():
    # A folder with a stack of data discs in front: where the game's files live.
    c = Canvas(22, 22)
    c.rect(1, 4, 7, 7, GOLD, INK)
    c.rect(1, 6, 16, 16, GOLD, INK)
    for top in (10, 13, 16):
        c.rect(11, top, 20, top + 3, BLUE, INK)
    c.line(12, 11, 19, 11, PAPER)
    return c


def filesave():
    c = Canvas(22, 22)
    c.rect(3, 3, 18, 18, BLUE, INK)
    c.rect(6, 3, 15, 9, PAPER, INK)
    c.rect(12, 4, 14, 8, INK)
    c.rect(6, 12, 15, 18, GREY, INK)
    return c


def printer():
    c = Canvas(22, 22)
    c.rect(6, 2, 15, 8, PAPER, INK)
    c.rect(2, 8, 19, 15, GREY, INK)
    c.rect(6, 13, 15, 20, PAPER, INK)
    c.put(17, 10, GREEN)
    return c


def arrow(mirror):
    """A half-circle arrow over the top, its head at the left end (undo) or the right (redo)."""
    c = Canvas(22, 22)
    steps = 40
    for i in range(steps + 1):
        a = math.pi * i / steps
        x = 11 + 6.5 * math.cos(a)
        y = 14 - 6.5 * math.sin(a)
        c.line(int(round(x)), int(round(y)), int(round(x)), int(round(y)), BLUE, 2)
    head = [(1, 13), (9, 13), (5, 19)]
    if mirror:
        head = [(21 - x, y) for x, y in head]
    (ax, ay), (bx, by), (cx, cy) = head
    d = (by - cy) * (ax - cx) + (cx - bx) * (ay - cy)
    for y in range(22):
        for x in range(22):
            l1 = ((by - cy) * (x - cx) + (cx - bx) * (y - cy)) / d
            l2 = ((cy - ay) * (x - cx) + (ax - cx) * (y - cy)) / d
            if l1 >= 0 and l2 >= 0 and 1 - l1 - l2 >= 0:
                c.put(x, y, BLUE)
    return c


def editcut():
    c = Canvas(22, 22)
    c.line(6, 2, 14, 14, GREY, 2); c.line(15, 2, 7, 14, GREY, 2)
    c.disc(6, 17, 3.5, RED, ring=1.5); c.disc(15, 17, 3.5, RED, ring=1.5)
    return c


def editcopy():
    c = Canvas(22, 22)
    c.rect(2, 2, 12, 14, PAPER, INK)
    c.rect(8, 7, 19, 19, PAPER, INK)
    for y in (10, 13, 16):
        c.line(10, y, 17, y, GREY)
    return c


def editpaste():
    c = Canvas(22, 22)
    c.rect(3, 4, 17, 20, GOLD, INK)
    c.rect(7, 2, 13, 6, GREY, INK)
    c.rect(9, 9, 19, 20, PAPER, INK)
    return c


def searchfind():
    c = Canvas(22, 22)
    c.disc(9, 9, 7, (200, 225, 250, 255))
    c.disc(9, 9, 7, INK, ring=1.6)
    c.line(14, 14, 20, 20, INK, 3)
    return c


def splash():
    c = Canvas(130, 130, (30, 34, 44, 255))
    # A land tile diamond with a grass pattern, drawn at twice the game's scale.
    for y in range(44):
        half = y + 1 if y < 22 else 44 - y
        for x in range(65 - 2 * half, 65 + 2 * half):
            shade = 100 + ((x * 7 + y * 13) % 40)
            c.put(x, 58 + y, (40, shade, 50, 255))
    # A quill standing on it.
    c.line(64, 96, 94, 18, (235, 230, 210, 255), 3)
    for i in range(36):
        t = i / 36
        x = 94 - 30 * t * 0.7
        y = 18 + 78 * t * 0.7
        w = int(10 * math.sin(t * math.pi))
        c.line(int(x), int(y), int(x) + w, int(y) - w // 2, (245, 245, 235, 255))
        c.line(int(x), int(y), int(x) - w // 2, int(y) + w // 3, (225, 225, 215, 255))
    c.line(62, 100, 65, 94, GOLD, 2)
    # Initials bar.
    c.rect(10, 112, 119, 120, BLUE)
    return c


if __name__ == "__main__":
    for name, fn in [("filenew", filenew), ("fileopen", fileopen), ("filesave", filesave),
                     ("print", printer), ("undo", lambda: arrow(False)), ("redo", lambda: arrow(True)),
                     ("editcut", editcut), ("editcopy", editcopy), ("editpaste", editpaste),
                     ("searchfind", searchfind), ("datadir", datadir)]:
        fn().save(name + ".png")
    splash().save("qm.png", alpha=False)
