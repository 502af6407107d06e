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

# The desktop entry and its scalable icon, for the desktop's menus and launchers.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/korvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/korvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
