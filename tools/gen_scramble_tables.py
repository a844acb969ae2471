#!/usr/bin/env python3
"""Writes src/driver/scramble_tables.cpp: the alphabet and the 127 x 127 code
table of the script scrambling. Run once; the output is committed as data.
Changing the tables makes every scrambled script and every stored scrambled
value written before unreadable, so the seed stays fixed."""
import random
import sys

SEED = 0x7A11611D
rng = random.Random(SEED)

alphabet = list(range(1, 128))
rng.shuffle(alphabet)
rows = []
for _ in range(127):
    row = alphabet[:]
    rng.shuffle(row)
    rows.append(row)


def fmt(values, indent):
    out, line = [], indent
    for v in values:
        item = "%d," % v
        if len(line) + len(item) + 1 > 100:
            out.append(line.rstrip())
            line = indent
        line += item + " "
    out.append(line.rstrip())
    return "\n".join(out)


path = sys.argv[1] if len(sys.argv) > 1 else "src/driver/scramble_tables.cpp"
with open(path, "w", newline="\n") as f:
    f.write("/*\n * driver/scramble_tables.cpp -- the alphabet and the code table of the\n"
            " * scrambled script form. Data, written once by tools/gen_scramble_tables.py:\n"
            " * the alphabet holds every code from 1 to 127 once, and every row of the code\n"
            " * table holds every alphabet character once, so each scrambled text\n"
            " * unscrambles. Never edit by hand: scrambled scripts and stored values\n"
            " * written with these tables can only be read with them.\n */\n")
    f.write('#include "driver/scramble.h"\n\n')
    f.write("const BYTE g_abScrambleAlphabet[CCH_SCRAMBLE_ALPHABET] = {\n")
    f.write(fmt(alphabet, "    ") + "\n};\n\n")
    f.write("const BYTE g_abScrambleTable[CCH_SCRAMBLE_ALPHABET][CCH_SCRAMBLE_ALPHABET] = {\n")
    for row in rows:
        f.write("    {\n" + fmt(row, "        ") + "\n    },\n")
    f.write("};\n")
