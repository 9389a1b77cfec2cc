#!/usr/bin/env python3
"""Writes the two halves of a made-up match as Varrow data files, for the
pictures of the match analysis in docs/screenshots:
    scripts/sample_match.py DIR   ->  DIR/060124_1.dat, DIR/060124_2.dat
The ball is followed one click every few seconds: the team with it carries
it towards the goal it attacks, loses it now and then (more often near the
other goal), shoots from close in and sometimes scores. The Lions (red) are
the stronger side; the teams change ends at half time. The same seed gives
the same files."""
import random
import struct
import sys

RED, BLUE = 0x0000FF, 0xFF0000
LEFT, RIGHT, TOP, BOTTOM = 750.0, 8750.0, 1000.0, 5000.0


def name(text):
    return text.encode("cp1252").ljust(20)[:20]


def half(path, period, left_color, rng):
    events = []
    score = {RED: 0, BLUE: 0}

    def add(x, y, clock, color, shot=False, left_goal=0, right_goal=0):
        events.append(struct.pack("<ffhihBBh", x, y, clock, color, 0, left_goal, right_goal,
                                  -1 if shot else 0))

    def attacks_right(color):
        return color == left_color

    clock, color, x, y = 0, RED if period == 1 else BLUE, 4750.0, 3000.0
    add(x, y, clock, color)
    while clock < 2700:
        clock += rng.randint(2, 7)
        strong = color == RED
        forward = rng.gauss(470 if strong else 400, 650)
        x += forward if attacks_right(color) else -forward
        y = min(BOTTOM, max(TOP, y + rng.gauss(0, 650)))
        x = min(RIGHT - 100, max(LEFT + 100, x))
        depth = x if attacks_right(color) else LEFT + RIGHT - x  # towards its goal
        if depth > 7300 and rng.random() < 0.3:
            add(x, y, clock, color, shot=True)
            if rng.random() < (0.13 if strong else 0.17):
                clock += 2
                goal_x = 8900 if attacks_right(color) else 600
                add(goal_x, 3000, clock, color, right_goal=int(goal_x > 4750),
                    left_goal=int(goal_x < 4750))
                score[color] += 1
                color = BLUE if color == RED else RED
                clock += 30
                x, y = 4750.0, 3000.0
            else:
                # Saved or wide: the other team plays it out from its own goal.
                color = BLUE if color == RED else RED
                clock += 8
                x = 1300.0 if attacks_right(color) else 8200.0
                y = rng.uniform(2200, 3800)
            add(x, y, clock, color)
            continue
        lose = 0.14 + 0.18 * (depth > 6000) + (0.06 if not strong else 0)
        if rng.random() < lose:
            color = BLUE if color == RED else RED
            x += rng.gauss(0, 250)
        add(x, y, clock, color)
    right_color = BLUE if left_color == RED else RED
    left_name, right_name = ("Lions", "Tigers") if left_color == RED else ("Tigers", "Lions")
    header = struct.pack("<iihhhhhBB", left_color, right_color, 3 + len(events), clock,
                         score[left_color], score[right_color], period, 0, 0)
    with open(path, "wb") as f:
        f.write(name(left_name) + name(right_name) + header + b"".join(events))


def main():
    rng = random.Random(2024)
    out = sys.argv[1]
    half(f"{out}/060124_1.dat", 1, RED, rng)
    half(f"{out}/060124_2.dat", 2, BLUE, rng)


if __name__ == "__main__":
    main()
