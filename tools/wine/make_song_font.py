#!/usr/bin/python3
"""Makes the Song face that stands in for 宋体 under wine.

The dialogs are laid out in dialog units over pictures drawn in pixels; on
Windows 宋体 at 9 points measures 6 x 12 pixels, which makes the main window
exactly as large as its skin. No font on Debian has those metrics: AR PL UMing
(a Song face with the same embedded 11-16 px bitmaps style) is 13 pixels high
because of its line spacing. This copies it with the line spacing cut to one
em and a name of its own, "Quorvel Song".

Usage: make_song_font.py OUTPUT.ttf   (needs python3-fonttools, fonts-arphic-uming)
"""
import sys

from fontTools.ttLib import TTCollection, newTable

SOURCE = "/usr/share/fonts/truetype/arphic/uming.ttc"
FAMILY = "Quorvel Song"


def main(out_path):
    font = next(f for f in TTCollection(SOURCE).fonts if f["name"].getDebugName(1) == "AR PL UMing CN")
    upm = font["head"].unitsPerEm
    ascent = round(upm * 0.86)  # 宋体's own split of the em
    descent = upm - ascent
    hhea, os2 = font["hhea"], font["OS/2"]
    hhea.ascent, hhea.descent, hhea.lineGap = ascent, -descent, 0
    os2.usWinAscent, os2.usWinDescent = ascent, descent
    os2.sTypoAscender, os2.sTypoDescender, os2.sTypoLineGap = ascent, -descent, 0
    # Like 宋体, draw the embedded bitmaps (11-16 px) crisp and unsmoothed; the
    # outlines are smoothed only at larger sizes.
    gasp = newTable("gasp")
    gasp.version = 1
    gasp.gaspRange = {16: 0x0001 | 0x0004, 0xFFFF: 0x0001 | 0x0002 | 0x0004 | 0x0008}
    font["gasp"] = gasp
    for record in font["name"].names:
        if record.nameID in (1, 3, 4, 16):
            record.string = FAMILY
        elif record.nameID == 6:
            record.string = FAMILY.replace(" ", "")
    font.save(out_path)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
