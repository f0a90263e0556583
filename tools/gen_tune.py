#!/usr/bin/env python3
"""Writes the tune that the About window's icon plays: a Standard MIDI file
(format 1, a tempo track and eight instrument tracks, 192 ticks per quarter
note) of a short cheerful piece of sixteen bars composed for Quellix.

Usage: gen_tune.py OUT_FILE

The notes are written out here, so the tune is ours and is rebuilt with the
program; the output is the same at every build.
"""
import os
import struct
import sys

TICKS_PER_QUARTER = 192
EIGHTH = TICKS_PER_QUARTER // 2
BAR = 4 * TICKS_PER_QUARTER
BEATS_PER_MINUTE = 132

NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def pitch(name):
    """'C4' is middle C (60); a '#' after the letter raises a semitone."""
    letter, rest = name[0], name[1:]
    sharp = rest.startswith("#")
    octave = int(rest[1:] if sharp else rest)
    return 12 * (octave + 1) + NOTE_NAMES[letter] + (1 if sharp else 0)


# One chord a bar: its root and the two notes above it.
CHORDS = {
    "C": ("C", "E", "G"),
    "G": ("G", "B", "D"),
    "Am": ("A", "C", "E"),
    "F": ("F", "A", "C"),
}
PROGRESSION = ["C", "G", "Am", "F", "C", "F", "G", "C",
               "Am", "F", "C", "G", "F", "G", "C", "C"]

# The melody, bar by bar: (note, length in eighths); None is a rest.
MELODY = [
    [("E4", 2), ("G4", 2), ("C5", 2), ("G4", 2)],
    [("B4", 2), ("D5", 1), ("B4", 1), ("G4", 4)],
    [("A4", 2), ("C5", 2), ("E5", 2), ("C5", 2)],
    [("F5", 1), ("E5", 1), ("D5", 1), ("C5", 1), ("A4", 4)],
    [("G4", 3), ("E4", 1), ("G4", 2), ("C5", 2)],
    [("A4", 2), ("C5", 2), ("F5", 2), ("E5", 2)],
    [("D5", 2), ("B4", 2), ("G4", 2), ("D5", 2)],
    [("C5", 8)],
    [("E5", 2), ("D5", 1), ("C5", 1), ("A4", 4)],
    [("F4", 2), ("A4", 2), ("C5", 4)],
    [("G4", 2), ("C5", 2), ("E5", 2), ("G5", 2)],
    [("F5", 1), ("E5", 1), ("D5", 2), ("B4", 4)],
    [("A4", 2), ("C5", 1), ("F5", 1), ("A5", 2), ("F5", 2)],
    [("G5", 2), ("F5", 1), ("D5", 1), ("B4", 2), ("D5", 2)],
    [("E5", 2), ("C5", 2), ("G4", 2), ("E4", 2)],
    [("C5", 6), (None, 2)],
]

DRUM_CHANNEL = 9
KICK, SNARE, CLOSED_HAT, CRASH = 36, 38, 42, 49


def chord_note(chord, degree, octave):
    """The chord's degree-th note (0 root, 1 third, 2 fifth) at or above the
    root in the given octave."""
    names = CHORDS[chord]
    root = pitch(names[0] + str(octave))
    note = pitch(names[degree] + str(octave))
    return note if note >= root else note + 12


class Track:
    def __init__(self, name, channel=None, program=None):
        self.events = []  # (tick, order, bytes); note-offs sort before note-ons
        self.meta(0, 0x03, name.encode("ascii"))
        self.channel = channel
        if program is not None:
            self.events.append((0, 1, bytes([0xC0 | channel, program])))

    def meta(self, tick, kind, data):
        self.events.append((tick, 0, bytes([0xFF, kind]) + vlq(len(data)) + data))

    def note(self, tick, length, note, velocity):
        self.events.append((tick, 2, bytes([0x90 | self.channel, note, velocity])))
        self.events.append((tick + length, 1, bytes([0x80 | self.channel, note, 0])))

    def chunk(self):
        events = sorted(self.events, key=lambda event: (event[0], event[1]))
        end = max(event[0] for event in events)
        body = bytearray()
        now = 0
        for tick, _, data in events:
            body += vlq(tick - now) + data
            now = tick
        body += vlq(end - now) + bytes([0xFF, 0x2F, 0x00])
        return b"MTrk" + struct.pack(">I", len(body)) + bytes(body)


def vlq(value):
    """A MIDI variable-length quantity."""
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def conductor():
    track = Track("Quellix")
    track.meta(0, 0x58, bytes([4, 2, 24, 8]))  # 4/4
    track.meta(0, 0x59, bytes([0, 0]))  # C major
    track.meta(0, 0x51, struct.pack(">I", 60_000_000 // BEATS_PER_MINUTE)[1:])
    track.meta(len(PROGRESSION) * BAR, 0x01, b"Fine")
    return track


def melody():
    track = Track("Flute", 0, 73)
    tick = 0
    for bar in MELODY:
        for name, eighths in bar:
            length = eighths * EIGHTH
            if name is not None:
                track.note(tick, length - 8, pitch(name), 100)
            tick += length
    return track


def bells():
    """The first note of every second bar, an octave up, softly."""
    track = Track("Glockenspiel", 1, 9)
    for number in range(0, len(MELODY), 2):
        name = MELODY[number][0][0]
        track.note(number * BAR, TICKS_PER_QUARTER, pitch(name) + 12, 60)
    return track


def harmony():
    """The chord's third in half notes under the melody."""
    track = Track("Vibraphone", 2, 11)
    for number, chord in enumerate(PROGRESSION):
        for half in range(2):
            track.note(number * BAR + half * 2 * TICKS_PER_QUARTER, 2 * TICKS_PER_QUARTER - 12,
                       chord_note(chord, 1, 4), 64)
    return track


def bass():
    """Root, fifth, octave, fifth; the last bar holds the root."""
    track = Track("Bass", 3, 33)
    for number, chord in enumerate(PROGRESSION):
        start = number * BAR
        if number == len(PROGRESSION) - 1:
            track.note(start, 3 * TICKS_PER_QUARTER, chord_note(chord, 0, 2), 96)
            continue
        pattern = [chord_note(chord, 0, 2), chord_note(chord, 2, 2),
                   chord_note(chord, 0, 3), chord_note(chord, 2, 2)]
        for beat, note in enumerate(pattern):
            track.note(start + beat * TICKS_PER_QUARTER, TICKS_PER_QUARTER - 16, note, 90)
    return track


def strings():
    """The whole chord held through each bar."""
    track = Track("Strings", 4, 48)
    for number, chord in enumerate(PROGRESSION):
        for degree in range(3):
            track.note(number * BAR, BAR - 8, chord_note(chord, degree, 3), 52)
    return track


def harp():
    """The chord broken in eighths, up and down."""
    track = Track("Harp", 5, 46)
    for number, chord in enumerate(PROGRESSION[:-1]):
        notes = [chord_note(chord, 0, 4), chord_note(chord, 1, 4), chord_note(chord, 2, 4),
                 chord_note(chord, 0, 5)]
        for step, note in enumerate(notes + list(reversed(notes))):
            track.note(number * BAR + step * EIGHTH, EIGHTH, note, 56)
    return track


def piano():
    """Short chords on the second and fourth beats."""
    track = Track("Piano", 6, 0)
    for number, chord in enumerate(PROGRESSION[:-1]):
        for beat in (1, 3):
            for degree in range(3):
                track.note(number * BAR + beat * TICKS_PER_QUARTER, EIGHTH,
                           chord_note(chord, degree, 4), 58)
    return track


def drums():
    track = Track("Drums", DRUM_CHANNEL)
    last = len(PROGRESSION) - 1
    for number in range(len(PROGRESSION)):
        start = number * BAR
        if number in (0, 8, last):
            track.note(start, TICKS_PER_QUARTER, CRASH, 80)
        if number == last:
            track.note(start, TICKS_PER_QUARTER, KICK, 100)
            continue
        for beat in range(4):
            track.note(start + beat * TICKS_PER_QUARTER, EIGHTH, SNARE if beat % 2 else KICK,
                       92 if beat % 2 else 100)
        for step in range(8):
            track.note(start + step * EIGHTH, EIGHTH // 2, CLOSED_HAT, 70 if step % 2 else 84)
    return track


def tune():
    tracks = [conductor(), melody(), bells(), harmony(), bass(), strings(), harp(), piano(),
              drums()]
    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), TICKS_PER_QUARTER)
    return header + b"".join(track.chunk() for track in tracks)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: gen_tune.py OUT_FILE")
    out = sys.argv[1]
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    with open(out, "wb") as stream:
        stream.write(tune())


if __name__ == "__main__":
    main()
