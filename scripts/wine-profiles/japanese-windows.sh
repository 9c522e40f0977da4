# Run in the profile's prefix as it is made: Japanese Windows has the design's face, MS UI Gothic, which
# IPAPGothic stands in for here under that name. Debian's own Python, which has fontTools (deps.sh).
/usr/bin/python3 - "$WINEPREFIX/drive_c/windows/Fonts/msuigoth.ttf" <<'PYTHON'
import sys
from fontTools.ttLib import TTFont

font = TTFont("/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf")
for record in font["name"].names:
    if record.nameID in (1, 3, 4):  # family, unique and full name, in every language
        record.string = "MS UI Gothic"
    if record.nameID == 6:  # PostScript name
        record.string = "MSUIGothic"
font.save(sys.argv[1])
PYTHON
