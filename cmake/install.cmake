# `cmake --install <build> --prefix PREFIX` puts the program directory under PREFIX/lib/gombocok
# (the executable beside its pictures, sounds and settings.txt, where it looks for them), a
# launcher PREFIX/bin/gombocok, the desktop entry, its icons, the AppStream metainfo and the
# manual page. tools/uninstall.sh removes what install_manifest.txt lists; the player's
# settings.txt is never listed there, so it survives both a reinstall and an uninstall.
#
# Both places are relative to the prefix and can be chosen at configure time; the Debian package
# takes the games layout (debian/rules):
#   -DGOMBOCOK_INSTALL_DIR=lib/games/gombocok -DGOMBOCOK_LAUNCHER_DIR=games

set(GOMBOCOK_INSTALL_DIR lib/gombocok CACHE STRING
    "Program directory, relative to the install prefix")
set(GOMBOCOK_LAUNCHER_DIR bin CACHE STRING "Directory of the launcher, relative to the install prefix")
set(GOMBOCOK_APP_ID io.github.gombocok.gombocok)

install(TARGETS gombocok RUNTIME DESTINATION ${GOMBOCOK_INSTALL_DIR})

get_directory_property(_gombocok_assets DIRECTORY ${CMAKE_SOURCE_DIR}/qt
                       DEFINITION GOMBOCOK_RUNTIME_ASSETS)
if(NOT _gombocok_assets)
  message(FATAL_ERROR "install: the run-time asset list GOMBOCOK_RUNTIME_ASSETS is empty")
endif()
list(TRANSFORM _gombocok_assets PREPEND ${CMAKE_SOURCE_DIR}/assets/)
install(FILES ${_gombocok_assets} DESTINATION ${GOMBOCOK_INSTALL_DIR})

# Default settings only where the player has none yet. Copied by hand rather than installed, so
# it stays out of the manifest and uninstall leaves it alone.
install(CODE "set(_gombocok_default_settings \"${CMAKE_SOURCE_DIR}/assets/settings.txt\")
  set(_gombocok_install_dir \"${GOMBOCOK_INSTALL_DIR}\")")
install(CODE [[
  set(_dst "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${_gombocok_install_dir}/settings.txt")
  if(EXISTS "${_dst}")
    message(STATUS "Keeping: ${_dst}")
  else()
    message(STATUS "Installing: ${_dst} (default settings)")
    file(COPY_FILE "${_gombocok_default_settings}" "${_dst}")
  endif()
]])

# The launcher finds the program directory relative to itself, so the tree can be moved and
# DESTDIR staging works.
file(RELATIVE_PATH _gombocok_launcher_to_program /prefix/${GOMBOCOK_LAUNCHER_DIR}
     /prefix/${GOMBOCOK_INSTALL_DIR})
file(WRITE ${CMAKE_BINARY_DIR}/gombocok-launcher
"#!/bin/sh
# Starts Gombócok from its program directory, which holds its pictures, sounds and settings.
here=$(dirname \"$(readlink -f \"$0\")\")
exec \"$here/${_gombocok_launcher_to_program}/gombocok\" \"$@\"
")
install(PROGRAMS ${CMAKE_BINARY_DIR}/gombocok-launcher DESTINATION ${GOMBOCOK_LAUNCHER_DIR}
        RENAME gombocok)

# The desktop entry starts the launcher by its absolute path, whatever the PATH. The prefix is
# known for sure only while installing (`cmake --install --prefix` may choose another), so the
# Exec line is written then; DESTDIR is a staging area and stays out of it.
install(CODE "set(_gombocok_desktop_src \"${CMAKE_SOURCE_DIR}/data/${GOMBOCOK_APP_ID}.desktop\")
  set(_gombocok_desktop_tmp \"${CMAKE_BINARY_DIR}/${GOMBOCOK_APP_ID}.desktop\")
  set(_gombocok_launcher_dir \"${GOMBOCOK_LAUNCHER_DIR}\")")
install(CODE [[
  file(READ "${_gombocok_desktop_src}" _entry)
  string(REGEX REPLACE "\nExec=gombocok\n" "\nExec=${CMAKE_INSTALL_PREFIX}/${_gombocok_launcher_dir}/gombocok\n"
         _entry "${_entry}")
  file(WRITE "${_gombocok_desktop_tmp}" "${_entry}")
  file(INSTALL "${_gombocok_desktop_tmp}" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications")
]])
install(FILES ${CMAKE_SOURCE_DIR}/data/${GOMBOCOK_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/data/icons/hicolor/${size}x${size}/apps/gombocok.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/data/gombocok.6 DESTINATION share/man/man6)
