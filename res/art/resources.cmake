# Artwork: icon and bitmaps, found by their numeric ids.
set(KORVANE_ART_RESOURCES)
