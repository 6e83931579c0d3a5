#!/usr/bin/python3
"""Writes the Wine prefix's stand-in for SimSun: AR PL SungtiL GB with its
underscore raised into the text cell, under the family name Brennick SungtiL.

At the dialogs' 12 pixels per em the font's cell is 11 pixels above the
baseline and 1 below (usWinAscent 900, usWinDescent 124 of 1024 units). Its
underscore lies from 81 to 124 units below the baseline, that is in the second
pixel row below it, which edit boxes and labels clip away. Here it lies from
30 to 90 units below: the row just under the baseline at 12 pixels, and still
inside the descent at every larger size. The vertical metrics stay as they
are, so the dialogs' base units do too.

Usage: wine-font.py SOURCE.ttf TARGET.ttf
"""

import logging
import sys

from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._g_l_y_f import GlyphCoordinates

FAMILY = "Brennick SungtiL"
POSTSCRIPT_NAME = "BrennickSungtiL"
UNDERSCORE_TOP = -30
UNDERSCORE_BOTTOM = -90


def raise_underscore(font):
    glyf = font["glyf"]
    glyph = glyf[font.getBestCmap()[ord("_")]]
    top = max(y for _, y in glyph.coordinates)
    bottom = min(y for _, y in glyph.coordinates)
    # A flat bar: its upper points go to the new top, its lower ones to the
    # new bottom. The glyph's hinting would place the old edges again.
    glyph.coordinates = GlyphCoordinates(
        [(x, UNDERSCORE_TOP if y == top else UNDERSCORE_BOTTOM) for x, y in glyph.coordinates]
    )
    glyph.program.fromBytecode(b"")
    glyph.recalcBounds(glyf)


def rename(font):
    # Every language's names, so that neither the English nor the Chinese
    # family name finds this copy in place of the original.
    for record in font["name"].names:
        if record.nameID in (1, 3, 4, 16):
            record.string = FAMILY
        elif record.nameID == 6:
            record.string = POSTSCRIPT_NAME


def main(source, target):
    # The Debian font's glyf table runs 4 bytes past its last glyph;
    # fontTools says so on loading and ignores them.
    logging.getLogger("fontTools").setLevel(logging.ERROR)
    font = TTFont(source)
    raise_underscore(font)
    rename(font)
    font.save(target)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
