#!/usr/bin/python3
"""Writes the Wine prefix's stand-in for SimSun: AR PL SungtiL GB under the
family name Brennick SungtiL, with legible Latin letters at the dialogs' size
and its underscore raised into the text cell.

At the dialogs' 12 pixels per em the font's cell is 11 pixels above the
baseline and 1 below (usWinAscent 900, usWinDescent 124 of 1024 units), and
6 pixels wide for a half-width character (advance 512). There the font's own
Latin outlines, hinted for Chinese, come out badly: "l" like "1", "M" like
"W", "," like ".", ";" like ":", '"' and "*" as specks, and descenders below
the cell, where boxes and lists cut them off.

So the copy gets an embedded bitmap strike at 12 pixels per em for the
printable ASCII characters (U+0020 to U+007E): the glyphs of the X11
terminal font misc-fixed 6x12 (xfonts-base, public domain), drawn for
exactly this cell, 6 pixels wide and 12 high. Its 12 rows are the cell's 12
rows: the letters' baseline lies a pixel above the cell's, so that their
descenders end inside it, and the Latin letters sit in the middle of the
height of the Chinese ones. Wine draws through FreeType, which takes a
glyph's bitmap from a strike of the requested size and falls back on the
outline for every glyph the strike lacks (all the Chinese ones) and at every
other size. The advance widths, the outlines' hinting and the vertical
metrics (head, hhea, OS/2) stay as they are, so the dialogs' base units do
too (1.5 pixels per dialog unit, the main window 443 x 480 with its frame).

At the other sizes the outline underscore, which lies 81 to 124 units below
the baseline (the second pixel row below it at 12 pixels), is moved 30 to 90
units below: inside the descent at every size.

Usage: wine-font.py SOURCE.ttf BITMAPFONT.pcf.gz TARGET.ttf
"""

import gzip
import io
import logging
import sys
from xml.sax.saxutils import quoteattr

from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._g_l_y_f import GlyphCoordinates
from PIL import PcfFontFile

FAMILY = "Brennick SungtiL"
POSTSCRIPT_NAME = "BrennickSungtiL"
UNDERSCORE_TOP = -30
UNDERSCORE_BOTTOM = -90
# The strike: pixels per em, and the cell of a half-width character.
PPEM = 12
CELL_WIDTH = 6
CELL_ASCENT = 11  # rows above the baseline; the cell's last row is below it
CELL_HEIGHT = 12
FIRST, LAST = 0x20, 0x7E


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


def bitmap_rows(pcf_path):
    """Each printable ASCII character's CELL_HEIGHT rows of CELL_WIDTH
    pixels, '#' for ink, from a character-cell PCF font of that size."""
    with gzip.open(pcf_path) as data:
        pcf = PcfFontFile.PcfFontFile(io.BytesIO(data.read()), charset_encoding="iso8859-1")
    rows = {}
    for code in range(FIRST, LAST + 1):
        (advance, _), (x0, y0, x1, y1), _, image = pcf.glyph[code]
        # Every glyph of the font fills its whole cell, its top row first.
        if (advance, x0, x1, y1 - y0) != (CELL_WIDTH, 0, CELL_WIDTH, CELL_HEIGHT):
            sys.exit(f"{pcf_path}: U+{code:04X} is not a {CELL_WIDTH} x {CELL_HEIGHT} cell")
        rows[code] = [
            "".join("#" if image.getpixel((x, y)) else "." for x in range(CELL_WIDTH)) for y in range(CELL_HEIGHT)
        ]
    return rows


def add_latin_strike(font, pcf_path):
    """The EBLC and EBDT tables of one strike at PPEM pixels per em holding
    the printable ASCII characters, given to fontTools as TTX."""
    cmap = font.getBestCmap()
    names = [cmap[code] for code in range(FIRST, LAST + 1)]
    ids = [font.getGlyphID(name) for name in names]
    if ids != list(range(ids[0], ids[0] + len(ids))):
        sys.exit("the font's printable ASCII glyphs are not one run of glyph ids")
    rows = bitmap_rows(pcf_path)

    line_metrics = "".join(
        f'<{name} value="{value}"/>'
        for name, value in [
            ("ascender", CELL_ASCENT), ("descender", CELL_ASCENT - CELL_HEIGHT), ("widthMax", CELL_WIDTH),
            ("caretSlopeNumerator", 0), ("caretSlopeDenominator", 0), ("caretOffset", 0),
            ("minOriginSB", 0), ("minAdvanceSB", 0), ("maxBeforeBL", CELL_ASCENT),
            ("minAfterBL", CELL_ASCENT - CELL_HEIGHT), ("pad1", 0), ("pad2", 0),
        ]
    )
    locations = "".join(f"<glyphLoc name={quoteattr(name)}/>" for name in names)
    glyphs = "".join(
        f"<ebdt_bitmap_format_1 name={quoteattr(name)}>"
        f'<SmallGlyphMetrics><height value="{CELL_HEIGHT}"/><width value="{CELL_WIDTH}"/>'
        f'<BearingX value="0"/><BearingY value="{CELL_ASCENT}"/><Advance value="{CELL_WIDTH}"/></SmallGlyphMetrics>'
        f'<bitwiseimagedata bitDepth="1" width="{CELL_WIDTH}" height="{CELL_HEIGHT}">'
        + "".join(f'<row value="{row}"/>' for row in rows[code])
        + "</bitwiseimagedata></ebdt_bitmap_format_1>"
        for code, name in zip(range(FIRST, LAST + 1), names)
    )
    ttx = (
        '<?xml version="1.0" encoding="UTF-8"?><ttFont>'
        '<EBLC><header version="2.0"/><strike index="0"><bitmapSizeTable>'
        f'<sbitLineMetrics direction="hori">{line_metrics}</sbitLineMetrics>'
        f'<sbitLineMetrics direction="vert">{line_metrics}</sbitLineMetrics>'
        f'<colorRef value="0"/><startGlyphIndex value="{ids[0]}"/><endGlyphIndex value="{ids[-1]}"/>'
        f'<ppemX value="{PPEM}"/><ppemY value="{PPEM}"/><bitDepth value="1"/><flags value="1"/>'
        "</bitmapSizeTable>"
        f'<eblc_index_sub_table_1 imageFormat="1" firstGlyphIndex="{ids[0]}" lastGlyphIndex="{ids[-1]}">'
        f"{locations}</eblc_index_sub_table_1></strike></EBLC>"
        f'<EBDT><header version="2.0"/><strikedata index="0">{glyphs}</strikedata></EBDT>'
        "</ttFont>"
    )
    font.importXML(io.StringIO(ttx))


def rename(font):
    # Every language's names, so that neither the English nor the Chinese
    # family name finds this copy in place of the original.
    for record in font["name"].names:
        if record.nameID in (1, 3, 4, 16):
            record.string = FAMILY
        elif record.nameID == 6:
            record.string = POSTSCRIPT_NAME


def main(source, bitmap_font, target):
    # The Debian font's glyf table runs 4 bytes past its last glyph;
    # fontTools says so on loading and ignores them.
    logging.getLogger("fontTools").setLevel(logging.ERROR)
    font = TTFont(source)
    raise_underscore(font)
    add_latin_strike(font, bitmap_font)
    rename(font)
    font.save(target)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
