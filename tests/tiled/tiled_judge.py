#!/usr/bin/env python3
"""Lets Tiled itself judge the maps that `vexa tiled export` writes.

On the sample game, for the first stage of every terrain block and the sample's
widest and tallest stages:
  - tmxrasterizer draws the layer 地形 as `vexa render --layers terrain` draws the
    terrain, cell for cell;
  - the maps that Tiled saves again import back to the sample ROM byte for byte: as
    JSON, as TMX and from that TMX to JSON again, with the tilesets embedded, and in
    the tile layer formats Base64 uncompressed, Base64 zlib and Base64 gzip (Tiled
    keeps a map's format: its output is checked to have it).
Then one map with a changed cell and a moved sprite goes through Tiled and the import,
and a TMX map is refused. Prints what differed and exits with 1 on any failure,
keeping its folder; exits with 0 and removes it when all passed.
"""
import argparse
import base64
import concurrent.futures
import gzip
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

TERRAIN = "地形"
ATTRIBUTES = "地形属性"
SPRITES = "スプライト"
CELL = 32
# The sample's widest stage (260 x 16 cells) and its tallest, an upright one (30 x 100).
WIDEST, TALLEST = 157, 100

# (name, encoding, compression) of the tile layer formats that the import reads back.
FORMATS = [("base64", "base64", ""), ("base64-zlib", "base64", "zlib"), ("base64-gzip", "base64", "gzip")]


class Judge:
    def __init__(self, args, folder):
        self.args = args
        self.folder = folder
        self.failures = []
        self.sample = os.path.join(folder, "sample", "sample.smc")
        runtime = os.path.join(folder, "runtime")
        os.mkdir(runtime, 0o700)
        # Tiled wants a private runtime folder and, headless, Qt's offscreen platform; its
        # settings go into the temp folder, not the user's.
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=runtime,
                        XDG_CONFIG_HOME=os.path.join(folder, "config"),
                        XDG_CACHE_HOME=os.path.join(folder, "cache"), LANG="C.UTF-8", LC_ALL="C.UTF-8")

    def fail(self, text):
        self.failures.append(text)

    def run(self, what, *command, expect=0):
        """Runs a command; on another exit status than `expect` tells it and returns None."""
        done = subprocess.run(command, env=self.env, capture_output=True, text=True)
        if done.returncode != expect:
            self.fail(f"{what}: {' '.join(command)} exited with {done.returncode}, not {expect}:\n"
                      f"{done.stdout}{done.stderr}".rstrip())
            return None
        return done

    def vexa(self, what, *arguments, expect=0):
        return self.run(what, self.args.vexa, *arguments, expect=expect)

    def tiled(self, what, source, target, *options):
        return self.run(what, self.args.tiled, *options, "--export-map", source, target)

    def pixels(self, path):
        """An image as (width, height, RGBA bytes), through ImageMagick's PAM."""
        data = subprocess.run([self.args.convert, path, "-depth", "8", "-alpha", "set", "pam:-"],
                              env=self.env, capture_output=True, check=True).stdout
        end = data.index(b"ENDHDR\n") + len(b"ENDHDR\n")
        header = dict(line.split(b" ", 1) for line in data[:end].splitlines()[1:-1])
        return int(header[b"WIDTH"]), int(header[b"HEIGHT"]), data[end:]

    def same_rom(self, what, rom):
        with open(self.sample, "rb") as a, open(rom, "rb") as b:
            want, got = a.read(), b.read()
        if want != got:
            offsets = [i for i in range(min(len(want), len(got))) if want[i] != got[i]]
            size = f" and is {len(got)} bytes long, not {len(want)}" if len(got) != len(want) else ""
            first = f", first at 0x{offsets[0]:06X}" if offsets else ""
            self.fail(f"{what}: the imported ROM differs from the sample in {len(offsets)} bytes{first}{size}")

    def imports_unchanged(self, what, stage, folder, tmj):
        rom = os.path.join(folder, "imported.smc")
        if self.vexa(what, "tiled", "import", self.sample, str(stage), tmj, "-o", rom):
            self.same_rom(what, rom)


def differing_cells(a, b):
    """The 32 x 32 cells, (column, row), in which two images differ, row by row."""
    width, height, left = a
    _, _, right = b
    stride = width * 4
    cells = []
    for y in range(height):
        row_a, row_b = left[y * stride:(y + 1) * stride], right[y * stride:(y + 1) * stride]
        if row_a == row_b:
            continue
        for x in range(0, width, CELL):
            cell = (x // CELL, y // CELL)
            if row_a[x * 4:(x + CELL) * 4] != row_b[x * 4:(x + CELL) * 4] and cell not in cells:
                cells.append(cell)
    return sorted(cells, key=lambda c: (c[1], c[0]))


def first_pixel(a, b, cell):
    """The first pixel of the cell in which two images differ, with both colours."""
    width, height, left = a
    for y in range(cell[1] * CELL, min((cell[1] + 1) * CELL, height)):
        for x in range(cell[0] * CELL, min((cell[0] + 1) * CELL, width)):
            at = (y * width + x) * 4
            if left[at:at + 4] != b[2][at:at + 4]:
                return f"pixel ({x}, {y}): #{left[at:at + 4].hex()} and #{b[2][at:at + 4].hex()}"
    return "no pixel"


def compare_pictures(judge, what, first_png, second_png, expected=()):
    """Requires the two pictures to differ in exactly the cells `expected`."""
    a, b = judge.pixels(first_png), judge.pixels(second_png)
    if a[:2] != b[:2]:
        judge.fail(f"{what}: the pictures are {a[0]} x {a[1]} and {b[0]} x {b[1]} pixels")
        return
    cells = differing_cells(a, b)
    if cells != list(expected):
        total = (a[0] // CELL) * (a[1] // CELL)
        odd = [c for c in cells if c not in expected]
        detail = f"first other cell {odd[0]}, {first_pixel(a, b, odd[0])}" if odd else \
            f"not in cell {next(c for c in expected if c not in cells)}"
        judge.fail(f"{what}: the pictures differ in {len(cells)} of {total} cells, "
                   f"expected in {list(expected) or 'none'}: {detail}")


def with_layer_format(tmj, encoding, compression):
    """The map with its tile layers' data in that form."""
    layers = [layer for layer in tmj["layers"] if layer["type"] == "tilelayer"]
    for layer in layers:
        raw = struct.pack(f"<{len(layer['data'])}I", *layer["data"])
        raw = {"zlib": zlib.compress, "gzip": gzip.compress}.get(compression, bytes)(raw)
        layer["data"] = base64.b64encode(raw).decode("ascii")
        layer["encoding"] = encoding
        if compression:
            layer["compression"] = compression
    return tmj


def load(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def save(path, value):
    with open(path, "w", encoding="utf-8") as f:
        json.dump(value, f, ensure_ascii=False, indent=1)


def first_difference(a, b, path="map"):
    """The path of the first value two JSON values differ at, or None."""
    if isinstance(a, dict) and isinstance(b, dict):
        for key in sorted(set(a) | set(b)):
            if key not in a or key not in b:
                return f"{path}.{key} (only in one)"
            found = first_difference(a[key], b[key], f"{path}.{key}")
            if found:
                return found
        return None
    if isinstance(a, list) and isinstance(b, list):
        if len(a) != len(b):
            return f"{path} ({len(a)} entries, not {len(b)})"
        for i, (x, y) in enumerate(zip(a, b)):
            found = first_difference(x, y, f"{path}[{i}]")
            if found:
                return found
        return None
    if a == b:
        return None
    return f"{path}: {json.dumps(a, ensure_ascii=False)} where {json.dumps(b, ensure_ascii=False)} was expected"


def judge_stage(judge, stage):
    """The stage drawn by Tiled and by vexa, and every map Tiled saves of it imported."""
    folder = os.path.join(judge.folder, f"stage{stage}")
    os.mkdir(folder)
    tmj = os.path.join(folder, "map.tmj")
    if not judge.vexa(f"stage {stage}", "tiled", "export", judge.sample, str(stage), tmj):
        return None
    by_tiled, by_vexa = os.path.join(folder, "tiled.png"), os.path.join(folder, "vexa.png")
    if judge.run(f"stage {stage}", judge.args.rasterizer, "--show-layer", TERRAIN, tmj, by_tiled) and \
            judge.vexa(f"stage {stage}", "render", judge.sample, str(stage), by_vexa, "--layers", "terrain"):
        compare_pictures(judge, f"stage {stage}, tmxrasterizer's {TERRAIN} against vexa render", by_tiled, by_vexa)

    # (what, map given to Tiled, map Tiled writes, Tiled's options, the tile layers'
    # (encoding, compression) Tiled must keep); TMX maps are only read by the next save.
    saves = [("Tiled's JSON", tmj, "resaved.tmj", [], None), ("Tiled's TMX", tmj, "resaved.tmx", [], None),
             ("Tiled's TMX saved as JSON", "resaved.tmx", "from-tmx.tmj", [], None),
             ("Tiled's JSON with embedded tilesets", tmj, "embedded.tmj", ["--embed-tilesets"], None)]
    for name, encoding, compression in FORMATS:
        source = os.path.join(folder, f"{name}.tmj")
        save(source, with_layer_format(load(tmj), encoding, compression))
        saves.append((f"Tiled's JSON in the format {name}", source, f"tiled-{name}.tmj", [], (encoding, compression)))
    for what, source, target, options, layer_format in saves:
        what = f"stage {stage}, {what}"
        source, target = os.path.join(folder, source), os.path.join(folder, target)
        if not judge.tiled(what, source, target, *options) or target.endswith(".tmx"):
            continue
        saved = load(target)
        if options and any("source" in t or "image" not in t for t in saved["tilesets"]):
            judge.fail(f"{what}: the tilesets are not embedded: {saved['tilesets']}")
        if layer_format:
            got = [(layer.get("encoding", "csv"), layer.get("compression", ""))
                   for layer in saved["layers"] if layer["type"] == "tilelayer"]
            if got != [layer_format] * 2:
                judge.fail(f"{what}: Tiled saved the tile layers as (encoding, compression) {got}, "
                           f"not {layer_format}")
        judge.imports_unchanged(what, stage, folder, target)
    size = load(tmj)
    return size["width"] * size["height"]


def judge_changed_map(judge, stage):
    """A cell and a sprite changed in the map, saved by Tiled and imported."""
    folder = os.path.join(judge.folder, "changed")
    os.mkdir(folder)
    tmj = os.path.join(folder, "map.tmj")
    before = os.path.join(folder, "before.png")
    if not judge.vexa("changed map", "tiled", "export", judge.sample, str(stage), tmj) or \
            not judge.vexa("changed map", "render", judge.sample, str(stage), before, "--layers", "terrain"):
        return
    edited = load(tmj)
    layers = {layer["name"]: layer for layer in edited["layers"]}
    chips, width = layers[TERRAIN]["data"], edited["width"]
    # The top-left cell gets the chip of the bottom-left one, sky for ground.
    column, row = 0, 0
    chips[row * width + column] = chips[-width]
    sprite = layers[SPRITES]["objects"][0]
    sprite["x"] += 40
    sprite["y"] -= 24
    changed, saved = os.path.join(folder, "changed.tmj"), os.path.join(folder, "saved.tmj")
    save(changed, edited)
    # Beside the sample's settings files, which its export and render then find.
    rom = os.path.join(judge.folder, "sample", "edited.smc")
    if not judge.tiled("changed map", changed, saved) or \
            not judge.vexa("changed map", "tiled", "import", judge.sample, str(stage), saved, "-o", rom):
        return
    # Exported again under the same name, so that it names the same tileset files.
    os.mkdir(os.path.join(folder, "again"))
    again, after = os.path.join(folder, "again", "map.tmj"), os.path.join(folder, "after.png")
    if judge.vexa("changed map", "tiled", "export", rom, str(stage), again):
        difference = first_difference(load(again), edited)
        if difference:
            judge.fail(f"changed map: the edited ROM's map is not the map given to Tiled: {difference}")
    if judge.vexa("changed map", "render", rom, str(stage), after, "--layers", "terrain"):
        compare_pictures(judge, "changed map, vexa render before and after", before, after, [(column, row)])


def judge_tmx_refused(judge, stage):
    folder = os.path.join(judge.folder, f"stage{stage}")
    rom = os.path.join(judge.folder, "from-tmx.smc")
    done = judge.vexa("TMX map", "tiled", "import", judge.sample, str(stage), os.path.join(folder, "resaved.tmx"),
                      "-o", rom, expect=1)
    if done and "save it as a JSON map" not in done.stderr:
        judge.fail(f"TMX map: the import's refusal does not say to save it as JSON: {done.stderr.strip()}")
    if os.path.exists(rom):
        judge.fail("TMX map: the refused import wrote the ROM")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("vexa", "make-sample", "tiled", "rasterizer", "convert"):
        parser.add_argument(f"--{option}", required=True)
    args = parser.parse_args()
    started = time.monotonic()
    folder = tempfile.mkdtemp(prefix="tiled-judge-")
    judge = Judge(args, folder)
    subprocess.run([args.make_sample, os.path.join(folder, "sample")], check=True, capture_output=True)
    blocks = json.loads(judge.vexa("terrain blocks", "terrain", judge.sample, "--json").stdout)["blocks"]
    stages = sorted({min(block["stages"]) for block in blocks if block["stages"]} | {WIDEST, TALLEST})
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        sizes = dict(zip(stages, pool.map(lambda stage: judge_stage(judge, stage), stages)))
    if sizes.get(WIDEST) and max(filter(None, sizes.values())) != sizes[WIDEST]:
        judge.fail(f"stage {WIDEST} is no longer the largest stage of those judged: {sizes}")
    judge_changed_map(judge, stages[0])
    judge_tmx_refused(judge, stages[0])

    seconds = time.monotonic() - started
    if judge.failures:
        print("\n".join(judge.failures))
        print(f"tiled judge: {len(judge.failures)} failures in {seconds:.1f} s; files kept in {folder}")
        return 1
    shutil.rmtree(folder)
    print(f"tiled judge: stages {', '.join(map(str, stages))} drawn alike by Tiled and vexa and imported unchanged "
          f"from {len(FORMATS) + 4} of Tiled's saves each; a changed map imported; TMX refused ({seconds:.1f} s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
