# Stands in for CPack's Debian generator script (cpack finds it first on CMAKE_MODULE_PATH,
# which CPackProjectConfig.cmake sets): it runs that script, then drops the postinst and
# postrm it writes to call ldconfig whenever a shared library lies under /usr/lib. Korvane's
# libraries are private, in /usr/lib/korvane where the dynamic linker never looks, and
# Debian runs ldconfig from a trigger anyway: the package needs no maintainer scripts.
include("${CMAKE_ROOT}/Modules/Internal/CPack/CPackDeb.cmake")
set(GEN_CPACK_DEBIAN_GENERATE_POSTINST 0)
set(GEN_CPACK_DEBIAN_GENERATE_POSTRM 0)
