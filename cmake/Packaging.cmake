# Installation rules and the Debian package (CPack). Only the program itself is installed, with
# its desktop entry, its icon in the hicolor theme, its AppStream metainfo and its licence; the
# static libraries, tests, benchmarks and tools stay in the build tree.
include(GNUInstallDirs)

# The application id names the metainfo file; the desktop entry keeps the short name
# "quorvik.desktop" because the program announces itself under that name
# (QGuiApplication::setDesktopFileName in ui/main.cpp), which Wayland compositors match.
set(QUORVIK_APP_ID "io.github.quorvik.Quorvik")
set(QUORVIK_ICON_SIZES 16 32 48 64 128 256)

# The program links only static libraries of its own, so the installed file needs no run path
# (qt_standard_project_setup would give it $ORIGIN/../lib, which a system package must not carry).
set_property(TARGET quorvik PROPERTY INSTALL_RPATH "")
install(TARGETS quorvik RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${PROJECT_SOURCE_DIR}/assets/quorvik.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

foreach(size IN LISTS QUORVIK_ICON_SIZES)
  set(icon ${PROJECT_SOURCE_DIR}/assets/icons/quorvik-${size}.png)
  if(NOT EXISTS ${icon})
    message(FATAL_ERROR "Icon ${icon} is missing; every size in QUORVIK_ICON_SIZES is installed.")
  endif()
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME quorvik.png)
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/assets/${QUORVIK_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The licence goes where Debian looks for it: share/doc/quorvik/copyright, followed by the notice
# of the clause solver linked into the program, as Debian's libcadical-dev ships it.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE quorvik_copyright)
set(cadical_copyright /usr/share/doc/libcadical-dev/copyright)
if(EXISTS ${cadical_copyright})
  file(READ ${cadical_copyright} cadical_notice)
  string(APPEND quorvik_copyright
         "\n-----\n\nThe program links the CaDiCaL SAT solver (libcadical-dev):\n\n${cadical_notice}")
else()
  message(WARNING "${cadical_copyright} not found: the package's copyright lacks CaDiCaL's notice")
endif()
file(WRITE ${CMAKE_BINARY_DIR}/copyright "${quorvik_copyright}")
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvik)

# --- Debian package: `cpack -G DEB` in the build folder gives quorvik_<version>_<arch>.deb ---

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvik)
set(CPACK_PACKAGE_VENDOR "Tarnbel Software")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "logic puzzle: find the hidden fleet")
# Debian shows the lines as they stand, so they are kept under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "A single-player logic puzzle with a German user interface. A fleet of
straight ships is hidden in a grid; every column and every row shows how
many ship segments it holds, and a few segments are revealed as clues.
Mark water and ship segments until the whole fleet is found. Five levels,
from a 9 x 9 board with 10 ships to a 27 x 13 board with 36 ships.")
# The maintainer address can be given at configure time (-DCPACK_PACKAGE_CONTACT=...).
if(NOT CPACK_PACKAGE_CONTACT)
  set(CPACK_PACKAGE_CONTACT "Tarnbel Software <quorvik@tarnbel.invalid>")
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links (Qt, the C and C++ runtimes) come from dpkg-shlibdeps. Qt
# loads its window-system plugin at run time, which no linker records, the windows are laid out
# for Arial-metric faces, the legend heading wants a black-weight face (Inter Black), and the
# numerals of a zoomed board are drawn from C059 Bold: these are named here and the found
# libraries are appended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation2, fonts-inter, fonts-urw-base35")
# A release package carries no debug sections.
set(CPACK_STRIP_FILES ON)
# No maintainer scripts: installing and removing the package leaves every home folder, and so
# the settings file, alone.

# `cpack --config CPackSourceConfig.cmake` packs the sources without build trees or git data.
set(CPACK_SOURCE_GENERATOR TGZ)
# The patterns pass through CPackSourceConfig.cmake once more, hence the doubled escapes.
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/" "/out/" "/\\\\.cache/" "\\\\.user$")

include(CPack)
