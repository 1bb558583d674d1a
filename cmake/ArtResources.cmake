# fbw_add_art_resources(TARGET KIND FILE...): compiles pictures that the art
# build renders into build/KIND/ (manifest lines "cursor ...", "glyph ...")
# into TARGET as the resources ":/KIND/FILE". The art build runs first.
function(fbw_add_art_resources target kind)
  set(dir "${CMAKE_BINARY_DIR}/${kind}")
  set(files "")
  foreach(name IN LISTS ARGN)
    list(APPEND files "${dir}/${name}")
  endforeach()
  set_source_files_properties(${files} PROPERTIES GENERATED TRUE)
  qt_add_resources(${target} "${kind}" PREFIX "/${kind}" BASE "${dir}" FILES ${files}
                   OUTPUT_TARGETS resource_targets)
  add_dependencies(${target} fbw_art)
  foreach(t IN LISTS resource_targets)
    add_dependencies(${t} fbw_art)
  endforeach()
endfunction()
