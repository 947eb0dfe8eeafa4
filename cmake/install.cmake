# `cmake --install <build> --prefix PREFIX` puts the program directory under PREFIX/lib/gombocok
# (the executable beside its pictures, sounds and settings.txt, where it looks for them), a
# launcher PREFIX/bin/gombocok, the desktop entry, its icons and the AppStream metainfo.
# tools/uninstall.sh removes what install_manifest.txt lists; the player's settings.txt is never
# listed there, so it survives both a reinstall and an uninstall.

set(GOMBOCOK_INSTALL_DIR lib/gombocok)
set(GOMBOCOK_APP_ID io.github.gombocok.gombocok)

install(TARGETS gombocok RUNTIME DESTINATION ${GOMBOCOK_INSTALL_DIR})

get_directory_property(_gombocok_assets DIRECTORY ${CMAKE_SOURCE_DIR}/ui/qt
                       DEFINITION GOMBOCOK_RUNTIME_ASSETS)
if(NOT _gombocok_assets)
  message(FATAL_ERROR "install: the run-time asset list GOMBOCOK_RUNTIME_ASSETS is empty")
endif()
list(TRANSFORM _gombocok_assets PREPEND ${CMAKE_SOURCE_DIR}/assets/)
install(FILES ${_gombocok_assets} DESTINATION ${GOMBOCOK_INSTALL_DIR})

# Default settings only where the player has none yet. Copied by hand rather than installed, so
# it stays out of the manifest and uninstall leaves it alone.
install(CODE "set(_gombocok_default_settings \"${CMAKE_SOURCE_DIR}/assets/settings.txt\")")
install(CODE [[
  set(_dst "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/gombocok/settings.txt")
  if(EXISTS "${_dst}")
    message(STATUS "Keeping: ${_dst}")
  else()
    message(STATUS "Installing: ${_dst} (default settings)")
    file(COPY_FILE "${_gombocok_default_settings}" "${_dst}")
  endif()
]])

# The launcher finds the program directory relative to itself, so the tree can be moved and
# DESTDIR staging works.
file(WRITE ${CMAKE_BINARY_DIR}/gombocok-launcher
"#!/bin/sh
# Starts Gombócok from its program directory, which holds its pictures, sounds and settings.
here=$(dirname \"$(readlink -f \"$0\")\")
exec \"$here/../${GOMBOCOK_INSTALL_DIR}/gombocok\" \"$@\"
")
install(PROGRAMS ${CMAKE_BINARY_DIR}/gombocok-launcher DESTINATION bin RENAME gombocok)

install(FILES ${CMAKE_SOURCE_DIR}/data/${GOMBOCOK_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/${GOMBOCOK_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/data/icons/hicolor/${size}x${size}/apps/gombocok.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
