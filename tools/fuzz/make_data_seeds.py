#!/usr/bin/env python3
"""Writes the small seed files of the data-file fuzzers (user, settings, result, class, chord)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def short(text, capacity):
    data = text.encode("cp1252")[:capacity]
    return bytes([len(data)]) + data + bytes(capacity - len(data))


def put(buf, offset, data):
    buf[offset:offset + len(data)] = data


def user(uid, login, full):
    b = bytearray(620)
    put(b, 0, struct.pack("<H", uid))
    put(b, 4, struct.pack("<i", 1))
    put(b, 8, short(login, 19))
    put(b, 44, short(full, 31))
    put(b, 226, bytes([1, 1, 1, 1]))
    put(b, 232, struct.pack("<10i", *([1] * 10)))
    put(b, 312, short("\\", 151))
    return bytes(b)


def settings(uid, language):
    b = bytearray(816)
    put(b, 0, struct.pack("<H", uid))
    put(b, 12, struct.pack("<ii", 640, 480))
    put(b, 450, short("Arial", 81))
    put(b, 537, short(language, 19))
    put(b, 688, struct.pack("<4H", 0, 0, 110, 60))
    put(b, 804, struct.pack("<I", 0xFFFF))
    return bytes(b)


def result(uid, kind, when, score, count):
    b = bytearray(380)
    put(b, 0, struct.pack("<HHddd", uid, kind, when, 0.01, 3.5))
    put(b, 80, short("Setup", 50))
    put(b, 134, struct.pack("<HH", score, count))
    put(b, 138, struct.pack("<HH", score, count))
    return bytes(b)


def klass(name, cid):
    b = bytearray(188)
    put(b, 0, short(name, 31))
    put(b, 32, struct.pack("<i", cid))
    return bytes(b)


def chord(kind, count, index, name):
    b = bytearray(106)
    put(b, 0, struct.pack("<BBi", kind, count, index))
    for i in range(min(count, 12)):
        put(b, 6 + 4 * i, bytes([60 + 4 * i, 0, 0, 5 - i % 5]))
    put(b, 54, short(name, 50))
    return bytes(b)


SEEDS = {
    "user_file": {
        "two_users.dat": user(1, "ANNA", "Anna\xa7Berg") + user(2, "bo", "Bo"),
        "torn_tail.dat": user(1, "ANNA", "Anna") + b"\x02\x00\x01",
    },
    "settings_file": {
        "template.dat": settings(1, "English"),
        "two_users.dat": settings(1, "Deutch") + settings(3, "Fran\xe7ais")[:500],
    },
    "result_file": {
        "results.dat": result(5, 1, 45000.5, 8, 10) + result(5, 11, 45001.25, 3, 4),
        "torn_tail.dat": result(5, 3, 36526.5, 1, 1) + b"\x05\x00",
    },
    "class_file": {
        "classes.dat": klass("Choir", 3) + klass("", 0) + klass("Band", 0x10003),
    },
    "chord_file": {
        "items.dat": chord(1, 4, 40, "Mine") + chord(2, 2, 27, "Ninth") + chord(10, 3, 36, "")
        + chord(1, 0, 28, "") + chord(7, 13, 30, "bad"),
    },
}

for folder, files in SEEDS.items():
    target = os.path.join(HERE, folder, "seeds")
    os.makedirs(target, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(target, name), "wb") as f:
            f.write(data)
