#!/usr/bin/env python3
"""make_corpus.py -- writes the seed inputs of fuzz/corpus/.

Each seed is a short scripted game in the fuzz target's input language (see
fuzz_keys.cpp) that drives the world into one of the states the fuzzer
should start from: a tree shot down and sunk, a punch of each arm, a wrapped
heading, every camera, the twin keys, Shift changing a held key, a hidden
window, a zero-sized window. The fuzzer mutates from there.

Usage: fuzz/make_corpus.py [DIR]   (default: the corpus/ folder beside it)
"""

import os
import struct
import sys

# Special key codes of GLUT.
F1, F2, F3, F4, F5 = 1, 2, 3, 4, 5
LEFT, UP, RIGHT, DOWN = 100, 101, 102, 103
SHIFT_L, CTRL_L = 112, 114


def frames(n):
    """n frames, in as few commands as it takes."""
    out = b""
    while n >= 8:
        k = min(n // 8, 256)
        out += bytes([7, k - 1])
        n -= 8 * k
    while n > 0:
        k = min(n, 32)
        out += bytes([(k - 1) << 3])
        n -= k
    return out


def down(key):
    return bytes([1, key if isinstance(key, int) else ord(key)])


def up(key):
    return bytes([2, key if isinstance(key, int) else ord(key)])


def sdown(code):
    if 0 <= code < 256:
        return bytes([3, code])
    return bytes([3 | 8]) + struct.pack("<i", code)


def sup(code):
    if 0 <= code < 256:
        return bytes([4, code])
    return bytes([4 | 8]) + struct.pack("<i", code)


def status(state):
    return bytes([5, state & 0xFF])


def reshape(w, h):
    return bytes([6, w, h])


def hold(key, n):
    return down(key) + frames(n) + up(key)


SEEDS = {
    # Five shots into the tree ahead at (-4.5, 0.5); it sinks, stops blocking
    # and disappears, and the robot then drives through where it stood.
    "sink_tree": down(" ") + frames(50) + up(" ") + frames(110) + hold("z", 40)
    + hold(" ", 30),
    # Two punches, one per arm, then V held through a third.
    "punch": hold("v", 1) + frames(30) + hold("v", 1) + frames(30) + hold("v", 60),
    # The robot's heading wrapped both ways, both turns at once, the wheels
    # driven forward and back past a full turn.
    "heading_wrap": hold("d", 40) + down("q") + down("d") + frames(3) + up("d")
    + frames(70) + up("q") + hold("z", 50) + hold("s", 80) + down("z") + down("s")
    + frames(5),
    # The free camera: heading wrapped (and flipping every frame after), the
    # tilt wrapped, every movement key.
    "free_camera": hold(39, 1) + hold("k", 40) + frames(5) + hold("m", 70)
    + hold("o", 330) + hold("l", 20) + down("o") + down("k") + frames(3) + up("o")
    + up("k") + b"".join(hold(k, 3) for k in "456789") + down("7") + down("9")
    + frames(2),
    # The chase camera along the trees: the eye is stopped behind the robot.
    "chase": hold(233, 1) + hold("z", 40) + hold("d", 16) + hold("z", 60)
    + hold("q", 30) + hold("s", 40),
    # First person and the overhead map, driving and shooting.
    "first_person_map": hold(34, 1) + hold("z", 30) + hold(" ", 12) + hold(40, 1)
    + hold("q", 20) + hold("z", 20) + hold(38, 1) + frames(2),
    # Firing while turning: bullets fly in every direction, several at once;
    # some hit the ring of trees (no damage there), some leave the field
    # between them. Then a stream from the far side of the field.
    "spray": down(" ") + hold("d", 130) + frames(60) + hold("q", 5) + hold("z", 80)
    + hold("q", 31) + frames(70) + up(" ") + frames(40),
    # Backing across the field and firing along a lane between the trees:
    # the shots leave the field over Z 27 and are culled there.
    "leave_field": hold("d", 16) + hold("s", 59) + hold("q", 21) + hold("s", 34)
    + hold("q", 10) + hold(" ", 83) + frames(40),
    # Through the groves to a lane that runs out of the field between the
    # trees of the ring, and firing along it: nothing but the field's edge
    # ends those shots.
    "far_shot": hold("q", 8) + hold("z", 7) + hold("q", 5) + hold("z", 106)
    + hold("q", 25) + hold("z", 113) + hold("d", 24) + hold(" ", 152) + frames(40),
    # Turning and firing from a few places until shots reach the ring of
    # trees, which stops them and takes no damage.
    "ring_shots": hold("q", 17) + hold(" ", 75) + frames(40) + hold("q", 29)
    + hold(" ", 51) + frames(40) + hold("q", 3) + hold(" ", 40) + frames(40)
    + hold("q", 17) + hold(" ", 107) + frames(40) + hold("q", 9) + hold("s", 25)
    + hold("q", 30) + hold("z", 111) + hold("d", 13) + hold(" ", 130) + frames(40),
    # First person while backing diagonally into the tree at (-5, 3.5) and
    # turning away from it: the robot ends closer to the tree than its own
    # radius, and the camera's probe is stopped on its first step.
    "first_person_tree": hold(34, 1) + hold("q", 21) + hold("z", 87) + hold("q", 8)
    + hold("s", 57) + hold("q", 16) + hold("s", 59) + hold("d", 29) + hold("z", 42),
    # Both mode keys in one frame: the later test wins.
    "mode_precedence": down(38) + down(40) + frames(1) + up(38) + up(40) + frames(1),
    # The twins: arrows drive, F1 to F5 pick the cameras.
    "twins": sdown(UP) + frames(20) + sdown(LEFT) + frames(10) + sup(LEFT)
    + sdown(RIGHT) + frames(10) + sup(RIGHT) + sup(UP) + sdown(DOWN)
    + frames(10) + sup(DOWN) + b"".join(sdown(f) + frames(2) + sup(f) for f in (F1, F2, F3, F4, F5))
    + sdown(-7) + sup(-7) + sdown(100000) + sup(100000) + frames(1),
    # z held, Shift pressed, z released as Z, Shift released: nothing stays held.
    "shift_release": down("z") + frames(3) + sdown(SHIFT_L) + up("Z") + frames(2)
    + sup(SHIFT_L) + frames(3) + down("&") + sdown(CTRL_L) + up("1") + sup(CTRL_L)
    + frames(2),
    # Keys held while the window is hidden, then shown again.
    "hidden_window": down("z") + sdown(UP) + frames(3) + status(0) + frames(3)
    + status(1) + frames(2),
    # A window shrunk to nothing and back.
    "reshape_zero": reshape(0, 0) + frames(2) + reshape(1, 1) + frames(1)
    + reshape(255, 0) + frames(1) + reshape(0, 7) + frames(1) + reshape(200, 200)
    + frames(1),
    # Driven on a diagonal against a tree, then every camera from there.
    "diagonal_tree": hold("q", 8) + hold("z", 60) + hold(34, 1) + frames(2)
    + hold(233, 1) + frames(2) + hold("d", 8) + frames(2) + hold(" ", 1) + frames(5),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "corpus")
    os.makedirs(out, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(out, "seed_" + name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
