#!/usr/bin/env python3
"""Writes beep.wav: a 0.25 s, 660 Hz tone with short fades, 22050 Hz mono 16-bit PCM."""
import math
import struct
import wave

RATE, SECONDS, FREQUENCY = 22050, 0.25, 660.0
count = int(RATE * SECONDS)
frames = bytearray()
for i in range(count):
    fade = min(1.0, i / 400, (count - i) / 2000)
    frames += struct.pack("<h", int(12000 * fade * math.sin(2 * math.pi * FREQUENCY * i / RATE)))
with wave.open("beep.wav", "wb") as out:
    out.setnchannels(1)
    out.setsampwidth(2)
    out.setframerate(RATE)
    out.writeframes(bytes(frames))
