# The floors of src/ and what each may include. Included by src/CMakeLists.txt
# (the checks then run at configure time) and run as a script by the tests:
#   cmake -DROOT=<source folder> -DCHECK=engine|platform|windows -P Floors.cmake
#
# Engine folders: only the files directly in them are engine code; their
# subfolders (platform/qt, platform/flite, platform/media, book/qt,
# keepsake/qt, book/forms, shelf/forms, wordlist/forms) are floors of their
# own.
if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()
set(FBW_ENGINE_DIRS platform base image data vocab story sound book reading keepsake shelf wordlist
    scene)
# The engine folders above the plain platform, which the Qt platform and the
# speech synthesizer never include.
set(_FBW_ENGINE_ONLY_DIRS ${FBW_ENGINE_DIRS})
list(REMOVE_ITEM _FBW_ENGINE_ONLY_DIRS platform)
# The window floors, which the engine never includes.
set(_FBW_WINDOW_FLOORS ui shelf/forms book/forms wordlist/forms app)

set(_FBW_QT_INCLUDE_RE "#[ \t]*include[ \t]*[<\"](Q[A-Za-z]+|Qt[A-Za-z]*/)")

# Files of Folders (relative to ROOT/src) whose lines match Re, as a list
# "file: line". Recursive folders take their subfolders too.
function(_fbw_scan root folders recurse re out)
  set(bad "")
  foreach(dir IN LISTS folders)
    if(recurse)
      file(GLOB_RECURSE files "${root}/src/${dir}/*.h" "${root}/src/${dir}/*.cpp")
    else()
      file(GLOB files "${root}/src/${dir}/*.h" "${root}/src/${dir}/*.cpp")
    endif()
    foreach(f IN LISTS files)
      file(STRINGS "${f}" hits REGEX "${re}")
      foreach(h IN LISTS hits)
        file(RELATIVE_PATH rel "${root}" "${f}")
        list(APPEND bad "${rel}: ${h}")
      endforeach()
    endforeach()
  endforeach()
  set(${out} "${bad}" PARENT_SCOPE)
endfunction()

# An include of any of Floors ("ui", "book/forms", ...), as a regular expression.
function(_fbw_include_re floors out)
  list(JOIN floors "|" alt)
  set(${out} "#[ \t]*include[ \t]*\"(${alt})/" PARENT_SCOPE)
endfunction()

# Engine code includes no Qt header and no window floor.
function(_fbw_scan_engine root out)
  _fbw_scan("${root}" "${FBW_ENGINE_DIRS}" OFF "${_FBW_QT_INCLUDE_RE}" qt)
  _fbw_include_re("${_FBW_WINDOW_FLOORS};platform/qt;platform/flite;platform/media;book/qt;keepsake/qt"
                  re)
  _fbw_scan("${root}" "${FBW_ENGINE_DIRS}" OFF "${re}" up)
  set(${out} "${qt};${up}" PARENT_SCOPE)
endfunction()

# The Qt platform and the speech synthesizer stand on the plain platform
# alone: they include no engine folder (nor anything above one).
function(_fbw_scan_platform root out)
  _fbw_include_re("${_FBW_ENGINE_ONLY_DIRS}" re)
  _fbw_scan("${root}" "platform/qt;platform/flite;platform/media" ON "${re}" engine)
  set(${out} "${engine}" PARENT_SCOPE)
endfunction()

# Each window floor includes only floors below it: the Qt platform and the
# speech synthesizer include no window floor, the book drawn with Qt (book/qt)
# none either, the shared pieces (ui) no window, the windows neither the app
# nor each other.
function(_fbw_scan_windows root out)
  _fbw_include_re("${_FBW_WINDOW_FLOORS}" re)
  _fbw_scan("${root}" "platform/qt;platform/flite;platform/media;book/qt;keepsake/qt" ON "${re}"
            platform)
  _fbw_include_re("shelf/forms;book/forms;wordlist/forms;app" re)
  _fbw_scan("${root}" "ui" ON "${re}" ui)
  _fbw_include_re("book/forms;wordlist/forms;app" re)
  _fbw_scan("${root}" "shelf/forms" ON "${re}" shelf)
  _fbw_include_re("wordlist/forms;app" re)
  _fbw_scan("${root}" "book/forms" ON "${re}" book)
  _fbw_include_re("shelf/forms;book/forms;app" re)
  _fbw_scan("${root}" "wordlist/forms" ON "${re}" wordlist)
  set(${out} "${platform};${ui};${shelf};${book};${wordlist}" PARENT_SCOPE)
endfunction()

function(_fbw_fail_on what bad)
  list(FILTER bad EXCLUDE REGEX "^$")
  if(bad)
    list(JOIN bad "\n  " lines)
    message(FATAL_ERROR "${what}:\n  ${lines}")
  endif()
endfunction()

# Fails when Target links Qt or an engine file includes Qt or a window floor.
function(fbw_check_engine_qt_free target)
  get_target_property(libs ${target} LINK_LIBRARIES)
  foreach(l IN LISTS libs)
    if(l MATCHES "Qt")
      message(FATAL_ERROR "${target} must not link Qt (links ${l})")
    endif()
  endforeach()
  _fbw_scan_engine("${PROJECT_SOURCE_DIR}" bad)
  _fbw_fail_on("engine sources include Qt or a window floor" "${bad}")
endfunction()

# Fails when the Qt platform or the speech synthesizer includes an engine folder.
function(fbw_check_platform_floors)
  _fbw_scan_platform("${PROJECT_SOURCE_DIR}" bad)
  _fbw_fail_on("the Qt platform or the speech synthesizer includes the engine" "${bad}")
endfunction()

function(fbw_check_window_floors)
  _fbw_scan_windows("${PROJECT_SOURCE_DIR}" bad)
  _fbw_fail_on("a floor includes one above it" "${bad}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED ROOT)
  if(CHECK STREQUAL "windows")
    _fbw_scan_windows("${ROOT}" bad)
    _fbw_fail_on("a floor includes one above it" "${bad}")
    message(STATUS "every window floor includes only floors below it")
  elseif(CHECK STREQUAL "platform")
    _fbw_scan_platform("${ROOT}" bad)
    _fbw_fail_on("the Qt platform or the speech synthesizer includes the engine" "${bad}")
    message(STATUS "the Qt platform and the speech synthesizer include no engine folder")
  elseif(CHECK STREQUAL "engine")
    _fbw_scan_engine("${ROOT}" bad)
    _fbw_fail_on("engine sources include Qt or a window floor" "${bad}")
    message(STATUS "engine is Qt-free")
  else()
    message(FATAL_ERROR "CHECK must be engine, platform or windows (is \"${CHECK}\")")
  endif()
endif()
