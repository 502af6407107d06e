# Read by cpack before it runs a generator: the Debian one goes through our wrapper.
list(PREPEND CMAKE_MODULE_PATH "${CMAKE_CURRENT_LIST_DIR}/cpack")
