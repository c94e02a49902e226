"""A private sound server for the end-to-end suite, and what the tests hear from it.

`SoundServer` runs PulseAudio with one null sink in the session's private runtime
folder, so parallel sessions never share a server; programs reach it through
PULSE_SERVER (and XDG_RUNTIME_DIR) in their environment. `Recording` captures the
sink's monitor into a WAV file with parec, and `Signal` reads it back for analysis:
where sound is, where it falls silent, and where a test tone's marker starts.

Test tones are made with sox: a 100 ms marker at 880 Hz followed by 900 ms at 440 Hz,
both whole numbers of cycles, so a gapless loop is one unbroken wave and every start
of the track is visible as a marker.
"""

import array
import os
import subprocess
import time
from pathlib import Path

import harness

RATE = 44100
# 10 ms blocks: fine enough to place a loop point, coarse enough to count crossings.
BLOCK = RATE // 100
# A block is sound when its mean absolute level is above this (the tones play at half
# scale, about 10 000); silence from a null sink is exact zeros.
SOUND_LEVEL = 1000
# Within a sine at half scale no run of samples this long stays this close to zero;
# such a run is a gap in the audio.
GAP_LEVEL = 300
GAP_SAMPLES = RATE * 3 // 1000

MARKER_SECONDS = 0.1
TONE_SECONDS = 1.0


class SoundServer:
    def __init__(self, desktop):
        self.desktop = desktop
        self.socket = desktop.runtime_dir / "pulse" / "native"
        self.address = f"unix:{self.socket}"

    def start(self):
        self.socket.parent.mkdir(parents=True, exist_ok=True)
        # Anonymous access: the program runs with its own home, so it cannot read a
        # cookie from the server's.
        self.desktop.spawn("pulseaudio", [
            "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
            "--disable-shm=yes", "--log-target=stderr",
            "-L", "module-null-sink sink_name=null rate=44100",
            "-L", f"module-native-protocol-unix auth-anonymous=1 socket={self.socket}",
        ])
        self.desktop.env["PULSE_SERVER"] = self.address
        harness.wait_until(self.answers, 30.0, "PulseAudio to answer on its socket",
                           abort=self.desktop._abort_reason)
        # An idle null sink renders nothing and its monitor delivers nothing, so a
        # recording would have no timeline. A stream of zeros keeps it running in
        # real time without changing what is heard.
        self.desktop.spawn("pulse-keepalive", [
            "pacat", "--playback", "--raw", "--rate", str(RATE), "--channels", "2", "--format", "s16le",
            "--latency-msec", "50", "--client-name", "keepalive", "/dev/zero",
        ])
        return self

    def answers(self):
        result = subprocess.run(["pactl", "info"], env=self.desktop.env, capture_output=True, timeout=10)
        return result.returncode == 0

    def record(self, path):
        return Recording(self, path)


class Recording:
    """parec on the null sink's monitor, writing a mono 16-bit WAV file as it goes."""

    def __init__(self, server, path):
        self.path = Path(path)
        self.server = server
        self.process = harness.spawn([
            "parec", "-d", "null.monitor", "--rate", str(RATE), "--channels", "1", "--format", "s16le",
            "--latency-msec", "20", "--file-format=wav", str(self.path),
        ], env=server.desktop.env, cwd=self.path.parent, log_stem=self.path.with_suffix(""))
        harness.wait_until(lambda: self.path.exists() and self.path.stat().st_size > 0, 10.0,
                           "parec to start writing", abort=self._died)
        # parec writes the header once it is connected; the first sample follows.
        self.started_at = time.monotonic()

    def moment(self):
        """Seconds of recording that correspond to now (the sink plays in real time)."""
        return time.monotonic() - self.started_at

    def _died(self):
        code = self.process.poll()
        return None if code is None else f"parec exited with code {code}"

    def signal(self):
        """What has been recorded so far."""
        raw = self.path.read_bytes()
        # The header's length depends on the format chunk libsndfile chose.
        data_chunk = raw.find(b"data")
        data = raw[data_chunk + 8:] if data_chunk >= 0 else b""
        samples = array.array("h")
        samples.frombytes(data[: len(data) // 2 * 2])
        return Signal(samples)

    def seconds(self):
        return self.signal().duration()

    def stop(self):
        harness.stop_group(self.process, grace=2.0, sig=2)  # SIGINT lets parec finish the file
        return self.signal()


class Signal:
    def __init__(self, samples):
        self.samples = samples

    def duration(self):
        return len(self.samples) / RATE

    def block_levels(self, start=0.0, end=None):
        first = int(start * RATE) // BLOCK
        last = len(self.samples) // BLOCK if end is None else min(len(self.samples), int(end * RATE)) // BLOCK
        levels = []
        for index in range(first, last):
            block = self.samples[index * BLOCK:(index + 1) * BLOCK]
            levels.append(sum(abs(x) for x in block) / BLOCK)
        return levels

    def first_sound(self):
        """Seconds into the recording where sound starts, or None."""
        for index, level in enumerate(self.block_levels()):
            if level > SOUND_LEVEL:
                return index * BLOCK / RATE
        return None

    def has_sound(self, start=0.0, end=None):
        return any(level > SOUND_LEVEL for level in self.block_levels(start, end))

    def silent(self, start, end=None):
        return not self.has_sound(start, end)

    def gaps(self, start, end):
        """(time, length) of every run of near-silent samples longer than GAP_SAMPLES."""
        found = []
        run = 0
        first = int(start * RATE)
        last = min(len(self.samples), int(end * RATE))
        for index in range(first, last):
            if abs(self.samples[index]) < GAP_LEVEL:
                run += 1
            else:
                if run > GAP_SAMPLES:
                    found.append(((index - run) / RATE, run / RATE))
                run = 0
        return found

    def silences(self, start, end, minimum):
        """(start, end) of silent stretches of at least `minimum` seconds, by 10 ms blocks."""
        levels = self.block_levels(start, end)
        found = []
        run_start = None
        for index, level in enumerate(levels + [SOUND_LEVEL + 1]):
            if level <= SOUND_LEVEL and run_start is None:
                run_start = index
            elif level > SOUND_LEVEL and run_start is not None:
                if (index - run_start) * BLOCK / RATE >= minimum:
                    found.append((start + run_start * BLOCK / RATE, start + index * BLOCK / RATE))
                run_start = None
        return found

    def onsets(self, start=0.0, end=None):
        """Seconds at which sound begins after a stretch below the sound level."""
        found = []
        previous = True
        for index, level in enumerate(self.block_levels(start, end)):
            loud = level > SOUND_LEVEL
            if loud and not previous:
                found.append(start + index * BLOCK / RATE)
            previous = loud
        return found

    def marker_starts(self, start=0.0, end=None):
        """Seconds at which the 880 Hz marker begins: every start of the test tone."""
        first = int(start * RATE) // BLOCK
        last = len(self.samples) // BLOCK if end is None else min(len(self.samples), int(end * RATE)) // BLOCK
        starts = []
        previous_high = False
        for index in range(first, last):
            block = self.samples[index * BLOCK:(index + 1) * BLOCK]
            level = sum(abs(x) for x in block) / BLOCK
            crossings = sum(1 for a, b in zip(block, block[1:]) if (a < 0) != (b < 0))
            # 880 Hz crosses zero about 17.6 times in 10 ms, 440 Hz about 8.8 times.
            high = level > SOUND_LEVEL and crossings >= 14
            if high and not previous_high:
                starts.append(index * BLOCK / RATE)
            previous_high = high
        return starts


def make_tone(folder, name, channels=2):
    """Writes the test tone as `name` in `folder`; the format follows the file's extension."""
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    marker = folder / f".{name}-marker.wav"
    body = folder / f".{name}-body.wav"
    wav = folder / f".{name}.wav"
    common = ["-r", str(RATE), "-c", str(channels), "-b", "16"]
    subprocess.run(["sox", "-n", *common, str(marker), "synth", str(MARKER_SECONDS), "sine", "880", "vol", "0.5"],
                   check=True, capture_output=True)
    subprocess.run(["sox", "-n", *common, str(body), "synth", str(TONE_SECONDS - MARKER_SECONDS), "sine", "440",
                    "vol", "0.5"], check=True, capture_output=True)
    subprocess.run(["sox", str(marker), str(body), str(wav)], check=True, capture_output=True)
    target = folder / name
    suffix = target.suffix.lower()
    if suffix == ".wav":
        os.replace(wav, target)
    else:
        codec = {".ogg": ["-c:a", "libvorbis", "-q:a", "6"], ".flac": ["-c:a", "flac"],
                 ".mp3": ["-c:a", "libmp3lame", "-b:a", "192k"]}[suffix]
        subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-i", str(wav), *codec, str(target)],
                       check=True, capture_output=True)
        wav.unlink()
    marker.unlink()
    body.unlink()
    return target


def make_midi(folder, name, notes=((69, 960),)):
    """Writes a one-second Standard MIDI File of piano `notes`, (pitch, ticks held) one
    after the other; by default one note struck at its start and held.

    At 120 beats a minute and 480 ticks a beat, 960 ticks are a second.
    """
    def delta(value):
        out = [value & 0x7F]
        value >>= 7
        while value:
            out.insert(0, 0x80 | (value & 0x7F))
            value >>= 7
        return bytes(out)
    events = delta(0) + bytes([0xC0, 0])  # a piano on channel 1
    for pitch, ticks in notes:
        events += delta(0) + bytes([0x90, pitch, 110]) + delta(ticks) + bytes([0x80, pitch, 0])
    events += delta(0) + bytes([0xFF, 0x2F, 0])  # end of track
    header = b"MThd" + (6).to_bytes(4, "big") + (0).to_bytes(2, "big") + (1).to_bytes(2, "big") \
        + (480).to_bytes(2, "big")
    target = Path(folder) / name
    target.parent.mkdir(parents=True, exist_ok=True)
    target.write_bytes(header + b"MTrk" + len(events).to_bytes(4, "big") + events)
    return target


def gstreamer_error(path):
    """GStreamer's own message for a file it cannot play, as gst-launch reports it."""
    result = subprocess.run(
        ["gst-launch-1.0", "-q", "playbin", f"uri={Path(path).resolve().as_uri()}", "audio-sink=fakesink",
         "video-sink=fakesink"], capture_output=True, text=True, timeout=30)
    for line in (result.stdout + result.stderr).splitlines():
        if line.startswith("ERROR: from element"):
            return line.split(": ", 2)[2].strip()
    raise AssertionError(f"GStreamer played {path} without an error: {result.stdout} {result.stderr}")


def sound_server_warning(env):
    """GStreamer's own message when the automatic audio sink finds no sound server."""
    result = subprocess.run(["gst-launch-1.0", "audiotestsrc", "num-buffers=5", "!", "autoaudiosink"],
                            env=env, capture_output=True, text=True, timeout=30)
    for line in (result.stdout + result.stderr).splitlines():
        if line.startswith("WARNING: from element"):
            return line.split(": ", 2)[2].strip()
    raise AssertionError(f"GStreamer found a sound server: {result.stdout} {result.stderr}")
