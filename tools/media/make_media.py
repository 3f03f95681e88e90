#!/usr/bin/env python3
"""Builds the letter game's media pack: one narrated .mp4 clip per narration file and
the short .wav cues.

Every clip is 1024x768 H.264/AAC at 10 frames a second: a large, high-contrast picture
(the letter or digit filling the frame, or a simple scene with a large caption) and the
narration spoken by espeak-ng's Brazilian voice, as long as the narration plus a short
margin. Outputs are deterministic and cached by a hash of their inputs, so a second run
(or a fresh clone on the same machine) only copies files.

Usage: make_media.py --narration DIR --out DIR [--lengths FILE] [--cache DIR] [--jobs N]
                     [--cache-days N]

--lengths writes one line per clip, "NAME SECONDS", the length of its spoken narration,
for the check that each clip plays as long as what it says.

The cache may serve several clones: every run marks the entries it uses, and removes
entries no run has used for --cache-days days (default 30) and leftovers of interrupted
runs older than a day.
"""

import argparse
import concurrent.futures
import filecmp
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import wave

GENERATOR_VERSION = "1"
WIDTH, HEIGHT, FPS = 1024, 768, 10
MARGIN_S = 0.6
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
BITEXACT = ["-fflags", "+bitexact", "-flags:v", "+bitexact", "-flags:a", "+bitexact"]

# Scene colours of the story clips: background, caption, and the box drawn in the scene.
SCENES = {
    "ta-pelando": ("0xC00000", "white"),
    "ta-quente": ("0xFF6000", "black"),
    "ta-morno": ("0xFFD040", "black"),
    "ta-frio": ("0x60A0FF", "black"),
    "ta-gelado": ("0xE0F4FF", "black"),
}
STORY_SCENE = ("0x001060", "yellow")

# Cues: (kind, parameters). Tones are rendered with sox, "speech" with espeak-ng.
CUES = {
    "plin": ("tones", [(0.0, 1568, 0.35)]),
    "tingting": ("tones", [(0.0, 2093, 0.3), (0.3, 2637, 0.4)]),
    "Tchan": ("chord", [523, 659, 784], 0.7),
    "chaaaaan": ("sweep", 330, 150, 1.3),
    "aeiou": ("speech", "A, E, I, O, U!"),
}

# The programs the generator runs, with the Debian package of each.
TOOLS = {"ffmpeg": "ffmpeg", "espeak-ng": "espeak-ng", "sox": "sox"}

_print_lock = threading.Lock()


def missing_tools():
    """Names of the packages whose programs are not on PATH, or whose font is absent."""
    packages = [pkg for tool, pkg in TOOLS.items() if shutil.which(tool) is None]
    if not os.path.exists(FONT):
        packages.append("fonts-dejavu-core")
    return packages


def prune_cache(cache_dir, used, days, now=None):
    """Marks the used entries as used now and removes entries unused for `days` days and
    leftover partial files older than a day. Returns the names removed."""
    now = time.time() if now is None else now
    for path in used:
        for p in (path, path + ".seconds"):
            if os.path.exists(p):
                os.utime(p, (now, now))
    removed = []
    for name in sorted(os.listdir(cache_dir)):
        path = os.path.join(cache_dir, name)
        try:
            age = now - os.path.getmtime(path)
        except OSError:
            continue
        limit = 86400 if ".part" in name else days * 86400
        if os.path.isfile(path) and age > limit:
            try:
                os.remove(path)
                removed.append(name)
            except OSError:
                pass
    return removed


def run(cmd, **kw):
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, **kw)


def tool_versions():
    out = []
    for cmd in (["ffmpeg", "-version"], ["espeak-ng", "--version"], ["sox", "--version"]):
        r = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        out.append(r.stdout.splitlines()[0] if r.stdout else "")
    return "\n".join(out)


def read_narration(path):
    """First line: the on-screen caption; the rest: the spoken text."""
    with open(path, encoding="utf-8") as f:
        lines = [line.strip() for line in f.read().splitlines()]
    caption = lines[0] if lines else ""
    spoken = " ".join(line for line in lines[1:] if line) or caption
    return caption, spoken


def wrap(text, width):
    lines, cur = [], ""
    for word in text.split():
        if cur and len(cur) + 1 + len(word) > width:
            lines.append(cur)
            cur = word
        else:
            cur = f"{cur} {word}" if cur else word
    if cur:
        lines.append(cur)
    return lines


def speak(text, wav_path, tmp):
    txt = os.path.join(tmp, "speech.txt")
    with open(txt, "w", encoding="utf-8") as f:
        f.write(text)
    run(["espeak-ng", "-v", "pt-br", "-s", "150", "-b", "1", "-f", txt, "-w", wav_path])


def wav_seconds(path):
    with wave.open(path, "rb") as w:
        return w.getnframes() / float(w.getframerate())


def drawtext(tmp, index, text, size, colour, y_expr):
    path = os.path.join(tmp, f"text{index}.txt")
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    return (f"drawtext=fontfile={FONT}:textfile={path}:expansion=none:fontsize={size}:"
            f"fontcolor={colour}:x=(w-text_w)/2:y={y_expr}")


def clip_filters(name, caption, tmp):
    """The picture: a glyph filling the frame for letters and digits, else a scene."""
    if len(name) == 1:
        return "black", [
            drawtext(tmp, 0, name, 720, "yellow", "(h-120-text_h)/2"),
            drawtext(tmp, 1, caption, 72, "white", "h-100"),
        ]
    bg, fg = SCENES.get(name, STORY_SCENE)
    filters = []
    if name not in SCENES:
        # The box of the story: a brown chest with a yellow lid.
        filters += [
            "drawbox=x=312:y=420:w=400:h=260:color=0x8B4513:t=fill",
            "drawbox=x=292:y=380:w=440:h=50:color=0xFFD000:t=fill",
        ]
    lines = wrap(caption, 16)[:3]
    top = 60 if name not in SCENES else (HEIGHT - 110 * len(lines)) // 2
    for i, line in enumerate(lines):
        filters.append(drawtext(tmp, i, line, 96, fg, str(top + 110 * i)))
    return bg, filters


def render_clip(name, caption, spoken, out_path, tmp):
    wav = os.path.join(tmp, "voice.wav")
    speak(spoken, wav, tmp)
    spoken_s = wav_seconds(wav)
    dur = round(spoken_s + MARGIN_S, 2)
    bg, filters = clip_filters(name, caption, tmp)
    run(["ffmpeg", "-nostdin", "-y", "-loglevel", "error",
         "-f", "lavfi", "-i", f"color=c={bg}:s={WIDTH}x{HEIGHT}:r={FPS}:d={dur}",
         "-i", wav,
         "-filter_complex", f"[0:v]{','.join(filters)},format=yuv420p[v];"
                            f"[1:a]apad=whole_dur={dur}[a]",
         "-map", "[v]", "-map", "[a]", "-t", str(dur),
         "-c:v", "libx264", "-preset", "ultrafast", "-threads", "1",
         "-c:a", "aac", "-b:a", "64k", "-map_metadata", "-1", *BITEXACT,
         "-f", "mp4", out_path])
    return spoken_s


def sox_tone(path, freq, length, start):
    effects = ["fade", "q", "0.005", str(length), str(length * 0.8), "vol", "0.5"]
    if start > 0:
        effects += ["pad", str(start)]
    run(["sox", "-R", "-D", "-n", "-r", "22050", "-b", "16", "-c", "1", path,
         "synth", str(length), "sine", str(freq), *effects])


def render_cue(name, out_path, tmp):
    spec = CUES[name]
    kind = spec[0]
    parts = []
    if kind == "speech":
        raw = os.path.join(tmp, "raw.wav")
        speak(spec[1], raw, tmp)
        parts = [raw]
    elif kind == "tones":
        for i, (start, freq, length) in enumerate(spec[1]):
            p = os.path.join(tmp, f"t{i}.wav")
            sox_tone(p, freq, length, start)
            parts.append(p)
    elif kind == "chord":
        for i, freq in enumerate(spec[1]):
            p = os.path.join(tmp, f"t{i}.wav")
            sox_tone(p, freq, spec[2], 0)
            parts.append(p)
    elif kind == "sweep":
        p = os.path.join(tmp, "sweep.wav")
        run(["sox", "-R", "-D", "-n", "-r", "22050", "-b", "16", "-c", "1", p,
             "synth", str(spec[3]), "sawtooth", f"{spec[1]}-{spec[2]}",
             "lowpass", "1800", "fade", "t", "0.02", str(spec[3]), "0.5", "vol", "0.4"])
        parts = [p]
    mix = ["-m"] if len(parts) > 1 else []
    # Through sox once more: a canonical 16-bit mono PCM WAV at 22050 Hz.
    run(["sox", "-R", "-D", *mix, *parts, "-r", "22050", "-b", "16", "-c", "1",
         "-e", "signed-integer", out_path])


def cache_key(kind, name, content, versions, script_hash):
    h = hashlib.sha256()
    for part in (GENERATOR_VERSION, script_hash, versions, kind, name, content):
        h.update(part.encode("utf-8"))
        h.update(b"\0")
    return h.hexdigest()[:24]


def build_items(narration_dir):
    items = []
    for fname in sorted(os.listdir(narration_dir)):
        if fname.endswith(".txt"):
            name = fname[:-4]
            caption, spoken = read_narration(os.path.join(narration_dir, fname))
            items.append(("clip", name, name + ".mp4", (caption, spoken)))
    for name in sorted(CUES):
        items.append(("cue", name, name + ".wav", None))
    return items


def produce(item, cache_dir):
    kind, name, out_name, data = item
    ext = os.path.splitext(out_name)[1]
    cached = os.path.join(cache_dir, item_key(item) + ext)
    seconds_file = cached + ".seconds"  # a clip's narration length, kept beside it
    if os.path.exists(cached) and (kind != "clip" or os.path.exists(seconds_file)):
        return cached, False
    with tempfile.TemporaryDirectory(prefix="sonara-media-") as tmp:
        target = os.path.join(tmp, out_name)
        if kind == "clip":
            spoken_s = render_clip(name, data[0], data[1], target, tmp)
            with open(seconds_file + f".part{os.getpid()}", "w") as f:
                f.write(f"{spoken_s:.3f}\n")
            os.replace(seconds_file + f".part{os.getpid()}", seconds_file)
        else:
            render_cue(name, target, tmp)
        part = cached + f".part{os.getpid()}"
        shutil.copyfile(target, part)
        os.replace(part, cached)
    return cached, True


_keys = {}


def item_key(item):
    return _keys[item[1] + item[2]]


def install(cached, dest):
    if os.path.exists(dest) and filecmp.cmp(cached, dest, shallow=False):
        return
    shutil.copyfile(cached, dest + f".part{os.getpid()}")
    os.replace(dest + f".part{os.getpid()}", dest)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--narration", required=True)
    ap.add_argument("--out", required=True)
    default_cache = os.path.join(
        os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"), "sonara-media")
    ap.add_argument("--cache", default=default_cache)
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--lengths")
    ap.add_argument("--cache-days", type=float, default=30)
    args = ap.parse_args()

    missing = missing_tools()
    if missing:
        print(f"media: cannot make the media pack: missing {', '.join(missing)}; install with\n"
              f"  sudo apt-get install --no-install-recommends {' '.join(missing)}\n"
              f"or run scripts/setup-deps.sh", file=sys.stderr)
        return 1

    os.makedirs(args.out, exist_ok=True)
    os.makedirs(args.cache, exist_ok=True)
    with open(os.path.abspath(__file__), "rb") as f:
        script_hash = hashlib.sha256(f.read()).hexdigest()
    versions = tool_versions()
    items = build_items(args.narration)
    for kind, name, out_name, data in items:
        content = "\n".join(data) if data else repr(CUES[name])
        _keys[name + out_name] = cache_key(kind, name, content, versions, script_hash)

    total, done, made = len(items), 0, 0
    failed = []
    lengths = {}
    used = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        futures = {pool.submit(produce, it, args.cache): it for it in items}
        for fut in concurrent.futures.as_completed(futures):
            it = futures[fut]
            done += 1
            try:
                cached, fresh = fut.result()
            except subprocess.CalledProcessError as e:
                failed.append(f"{it[2]}: {e.stderr.decode(errors='replace').strip()}")
                continue
            used.append(cached)
            install(cached, os.path.join(args.out, it[2]))
            if it[0] == "clip":
                with open(cached + ".seconds") as f:
                    lengths[it[1]] = f.read().strip()
            if fresh:
                made += 1
                with _print_lock:
                    print(f"media: {done}/{total} {it[2]}", flush=True)
    pruned = prune_cache(args.cache, used, args.cache_days)
    if pruned:
        print(f"media: removed {len(pruned)} cache files unused for {args.cache_days:g} days")
    if failed:
        for line in failed:
            print(f"media: failed {line}", file=sys.stderr)
        return 1
    if args.lengths:
        with open(args.lengths + f".part{os.getpid()}", "w") as f:
            for name in sorted(lengths):
                f.write(f"{name} {lengths[name]}\n")
        os.replace(args.lengths + f".part{os.getpid()}", args.lengths)
    print(f"media: {total} files in {args.out} ({made} made, {total - made} cached)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
