# fbw_add_child_dirs(): adds every folder beside the calling CMakeLists.txt
# that holds a CMakeLists.txt of its own, so that new tools, asset kinds,
# benchmarks and fuzz targets need no edit of a shared file.
function(fbw_add_child_dirs)
  file(GLOB children LIST_DIRECTORIES true "${CMAKE_CURRENT_SOURCE_DIR}/*")
  foreach(d IN LISTS children)
    if(IS_DIRECTORY "${d}" AND EXISTS "${d}/CMakeLists.txt")
      add_subdirectory("${d}")
    endif()
  endforeach()
endfunction()
