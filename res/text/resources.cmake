# Text resources: the string table, dialog templates and menus.
set(KORVANE_TEXT_RESOURCES)
