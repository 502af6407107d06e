# Artwork: icon and bitmaps, found by their numeric ids (bitmaps/<id>.xpm, icons/<id>-<size>.xpm).
set(KORVANE_ART_RESOURCES
    art/icons/200-16.xpm
    art/icons/200-32.xpm
    art/icons/200-48.xpm
    art/bitmaps/204.xpm
    art/bitmaps/212.xpm
    art/bitmaps/215.xpm
    art/bitmaps/216.xpm
    art/bitmaps/217.xpm
    art/bitmaps/218.xpm
    art/bitmaps/219.xpm
    art/bitmaps/220.xpm)

