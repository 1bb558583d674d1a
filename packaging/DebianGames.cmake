# Run by cpack after it has installed the game into its staging folder and
# before it builds a package from it: in the Debian package the launcher lives
# in usr/games, as Debian's games do. usr/games and usr/bin are equally deep,
# so the launcher's relative path to the program folder still holds.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
file(GLOB_RECURSE launchers "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/fablewhirl")
if(NOT launchers)
  message(FATAL_ERROR "DebianGames: no bin/fablewhirl in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(launcher IN LISTS launchers)
  get_filename_component(bin "${launcher}" DIRECTORY)
  get_filename_component(usr "${bin}" DIRECTORY)
  file(MAKE_DIRECTORY "${usr}/games")
  file(RENAME "${launcher}" "${usr}/games/fablewhirl")
  file(GLOB left "${bin}/*")
  if(NOT left)
    file(REMOVE_RECURSE "${bin}")
  endif()
endforeach()
