# Text resources: the string table, dialog templates and menus.
set(KORVANE_TEXT_RESOURCES
    text/strings.txt
    text/dialog100.json
    text/dialog102.json
    text/dialog130.json
    text/dialog206.json
    text/menu131.json
    text/menu202.json)
