#!/usr/bin/env python3
"""Makes the damaged samples of this folder from the real ones beside them.

Run by hand from this folder (python3 make-damaged-samples.py); neither the build nor the
tests run it.
"""
import struct

VIDEO_TAG = 9


def read_tags(path):
    """The file header and a list of [tag type, timestamp in ms, data, stream id bytes]."""
    data = open(path, "rb").read()
    header_size = struct.unpack(">I", data[5:9])[0]
    header = data[:header_size]
    tags = []
    pos = header_size + 4  # the first PreviousTagSize is 0
    while pos + 11 <= len(data):
        size = int.from_bytes(data[pos + 1:pos + 4], "big")
        stamp = int.from_bytes(data[pos + 4:pos + 7], "big") | (data[pos + 7] << 24)
        tags.append([data[pos] & 0x1F, stamp, data[pos + 11:pos + 11 + size], data[pos + 8:pos + 11]])
        pos += 11 + size + 4
    return header, tags


def write_tags(path, header, tags):
    out = bytearray(header) + bytes(4)
    for kind, stamp, body, stream in tags:
        tag = bytes([kind]) + len(body).to_bytes(3, "big") + (stamp & 0xFFFFFF).to_bytes(3, "big")
        tag += bytes([stamp >> 24]) + stream + body
        out += tag + len(tag).to_bytes(4, "big")
    open(path, "wb").write(out)


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


def bits_of(data):
    return "".join(format(byte, "08b") for byte in data)


def bytes_of(bits):
    bits += "0" * (-len(bits) % 8)
    return bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))


def declare_h263_size(source, target, width, height, from_ms=0):
    """Rewrites the picture header of every Sorenson H.263 picture from `from_ms` on to declare
    width x height (picture size code 1: two 16-bit fields); the picture data after it is kept
    as it was, and the tag sizes follow."""
    header, tags = read_tags(source)
    for tag in tags:
        body = tag[2]
        if tag[0] != VIDEO_TAG or tag[1] < from_ms or not is_picture(body) or body[0] & 0x0F != 2:
            continue
        bits = bits_of(body[1:])
        # start code (17 bits), version (5), temporal reference (8), picture size code (3)
        code = int(bits[30:33], 2)
        rest = bits[33 + {0: 16, 1: 32}.get(code, 0):]
        size = format(1, "03b") + format(width, "016b") + format(height, "016b")
        tag[2] = body[:1] + bytes_of(bits[:30] + size + rest)
    write_tags(target, header, tags)


if __name__ == "__main__":
    damage_video("vp6-mp3.flv", "vp6-mp3-video-damaged-from-2s.flv", 2000)
    damage_video("vp6-mp3.flv", "vp6-mp3-video-never-decodes.flv", 0)
    declare_h263_size("h263-video-only.flv", "h263-declares-16000x16000.flv", 16000, 16000)
    declare_h263_size("h263-video-only.flv", "h263-grows-to-16000x16000-at-3s.flv", 16000, 16000,
                      3000)
