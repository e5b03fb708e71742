#!/usr/bin/env python3
"""Makes the damaged samples of this folder from the real ones beside them.

Run by hand from this folder (python3 make-damaged-samples.py); neither the build nor the
tests run it.
"""
import struct

VIDEO_TAG = 9


def is_picture(body):
    """A video tag that carries a picture (key, inter or disposable frame), not an info frame."""
    return len(body) > 1 and 1 <= body[0] >> 4 <= 3


def damage_video(source, target, from_ms):
    """Zeroes the picture bytes of every video tag from `from_ms` on, in place: a block of
    zeros, as an interrupted copy leaves them. Everything else, tag sizes and PreviousTagSize
    fields included, stays as it was, and so does each tag's first byte (frame type and
    codec), so the demuxer still hands the pictures on. VP6 reads a zero picture as a key
    frame of no size, which it refuses."""
    data = bytearray(open(source, "rb").read())
    pos = struct.unpack(">I", data[5:9])[0] + 4
    while pos + 11 <= len(data):
        size = int.from_bytes(data[pos + 1:pos + 4], "big")
        stamp = int.from_bytes(data[pos + 4:pos + 7], "big") | (data[pos + 7] << 24)
        body = pos + 11
        if data[pos] & 0x1F == VIDEO_TAG and stamp >= from_ms and is_picture(data[body:body + size]):
            data[body + 1:body + size] = bytes(size - 1)
        pos = body + size + 4
    open(target, "wb").write(data)


if __name__ == "__main__":
    damage_video("vp6-mp3.flv", "vp6-mp3-video-damaged-from-2s.flv", 2000)
    damage_video("vp6-mp3.flv", "vp6-mp3-video-never-decodes.flv", 0)
