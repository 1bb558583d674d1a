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
# The engine's folders, bottom up, each with the engine folders it stands on
# directly (commas between them). A folder names only folders before it, so
# no include cycle can form between them. Each is the library
# fbw_engine_<folder>, linked to those it stands on; it may include them and
# whatever they stand on.
set(FBW_ENGINE_FLOORS
    "platform:"
    "base:platform"
    "image:base"
    "data:base"
    "vocab:data"
    "story:vocab"
    "sound:data"
    "shelf:story"
    "book:shelf,image"
    "reading:book,sound"
    "keepsake:reading"
    "wordlist:vocab"
    "scene:sound,image,story"
    "voice:reading")
set(FBW_ENGINE_DIRS "")
foreach(_floor IN LISTS FBW_ENGINE_FLOORS)
  string(REPLACE ":" ";" _parts "${_floor}")
  string(REPLACE "," ";" _parts "${_parts}")
  list(POP_FRONT _parts _dir)
  set(_FBW_BELOW_${_dir} "")
  foreach(_dep IN LISTS _parts)
    if(NOT _dep IN_LIST FBW_ENGINE_DIRS)
      message(FATAL_ERROR "engine floor ${_dir} stands on ${_dep}, which is not below it")
    endif()
    list(APPEND _FBW_BELOW_${_dir} ${_dep} ${_FBW_BELOW_${_dep}})
  endforeach()
  list(REMOVE_DUPLICATES _FBW_BELOW_${_dir})
  set(FBW_ENGINE_DEPS_${_dir} "${_parts}")
  list(APPEND FBW_ENGINE_DIRS ${_dir})
endforeach()
# The engine folders above the plain platform, which the Qt platform and the
# speech synthesizer never include.
set(_FBW_ENGINE_ONLY_DIRS ${FBW_ENGINE_DIRS})
list(REMOVE_ITEM _FBW_ENGINE_ONLY_DIRS platform)
# The window floors, which the engine never includes.
set(_FBW_WINDOW_FLOORS ui shelf/forms book/forms wordlist/forms app)

set(_FBW_QT_INCLUDE_RE "#[ \t]*include[ \t]*[<\"](Q[A-Za-z]+|Qt[A-Za-z]*/)")

# The lines of Files that match Re, as a list "file: line" (files named
# from ROOT).
function(_fbw_scan_files root files re out)
  set(bad "")
  foreach(f IN LISTS files)
    file(STRINGS "${f}" hits REGEX "${re}")
    foreach(h IN LISTS hits)
      file(RELATIVE_PATH rel "${root}" "${f}")
      list(APPEND bad "${rel}: ${h}")
    endforeach()
  endforeach()
  set(${out} "${bad}" PARENT_SCOPE)
endfunction()

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
    _fbw_scan_files("${root}" "${files}" "${re}" hits)
    list(APPEND bad ${hits})
  endforeach()
  set(${out} "${bad}" PARENT_SCOPE)
endfunction()

# An include of any of Floors ("ui", "book/forms", ...), as a regular expression.
function(_fbw_include_re floors out)
  list(JOIN floors "|" alt)
  set(${out} "#[ \t]*include[ \t]*\"(${alt})/" PARENT_SCOPE)
endfunction()

# Engine code includes no Qt header and no window floor, and each engine
# folder only itself and the engine folders it stands on.
function(_fbw_scan_engine root out)
  _fbw_scan("${root}" "${FBW_ENGINE_DIRS}" OFF "${_FBW_QT_INCLUDE_RE}" qt)
  _fbw_include_re("${_FBW_WINDOW_FLOORS};platform/qt;platform/flite;platform/media;book/qt;keepsake/qt"
                  re)
  _fbw_scan("${root}" "${FBW_ENGINE_DIRS}" OFF "${re}" up)
  set(across "")
  foreach(dir IN LISTS FBW_ENGINE_DIRS)
    set(others ${FBW_ENGINE_DIRS})
    list(REMOVE_ITEM others ${dir} ${_FBW_BELOW_${dir}})
    if(others)
      list(JOIN others "|" alt)
      _fbw_scan("${root}" "${dir}" OFF "#[ \t]*include[ \t]*\"(${alt})/[^/]*\"" bad)
      list(APPEND across ${bad})
    endif()
  endforeach()
  set(${out} "${qt};${up};${across}" PARENT_SCOPE)
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

# The tools stand on the engine, the Qt platform and the books and keepsakes
# drawn with Qt: they include no window floor. The benchmarks may measure
# any floor but include no tool's source.
function(_fbw_scan_tools root out)
  _fbw_include_re("${_FBW_WINDOW_FLOORS}" re)
  file(GLOB_RECURSE files "${root}/tools/*.h" "${root}/tools/*.cpp")
  _fbw_scan_files("${root}" "${files}" "${re}" tools)
  file(GLOB_RECURSE files "${root}/bench/*.h" "${root}/bench/*.cpp")
  _fbw_scan_files("${root}" "${files}"
                  "#[ \t]*include[ \t]*\"(tools|fbwtool|artbuild|bookcheck|soundgen)/" bench)
  set(${out} "${tools};${bench}" PARENT_SCOPE)
endfunction()

function(_fbw_fail_on what bad)
  list(FILTER bad EXCLUDE REGEX "^$")
  if(bad)
    list(JOIN bad "\n  " lines)
    message(FATAL_ERROR "${what}:\n  ${lines}")
  endif()
endfunction()

# Fails when Target links Qt.
function(fbw_check_engine_qt_free target)
  get_target_property(libs ${target} LINK_LIBRARIES)
  foreach(l IN LISTS libs)
    if(l MATCHES "Qt")
      message(FATAL_ERROR "${target} must not link Qt (links ${l})")
    endif()
  endforeach()
endfunction()

# Fails when an engine file includes Qt, a window floor or an engine folder
# its own does not stand on.
function(fbw_check_engine_floors)
  _fbw_scan_engine("${PROJECT_SOURCE_DIR}" bad)
  _fbw_fail_on("engine sources include Qt, a window floor or an engine folder above them" "${bad}")
endfunction()

# Fails when the Qt platform or the speech synthesizer includes an engine folder.
function(fbw_check_platform_floors)
  _fbw_scan_platform("${PROJECT_SOURCE_DIR}" bad)
  _fbw_fail_on("the Qt platform or the speech synthesizer includes the engine" "${bad}")
endfunction()

function(fbw_check_window_floors)
  _fbw_scan_windows("${PROJECT_SOURCE_DIR}" bad)
  _fbw_fail_on("a floor includes one above it" "${bad}")
  _fbw_scan_tools("${PROJECT_SOURCE_DIR}" bad)
  _fbw_fail_on("a tool includes a window floor, or a benchmark a tool" "${bad}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED ROOT)
  if(CHECK STREQUAL "windows")
    _fbw_scan_windows("${ROOT}" bad)
    _fbw_fail_on("a floor includes one above it" "${bad}")
    _fbw_scan_tools("${ROOT}" bad)
    _fbw_fail_on("a tool includes a window floor, or a benchmark a tool" "${bad}")
    message(STATUS "every window floor, tool and benchmark includes only floors below it")
  elseif(CHECK STREQUAL "platform")
    _fbw_scan_platform("${ROOT}" bad)
    _fbw_fail_on("the Qt platform or the speech synthesizer includes the engine" "${bad}")
    message(STATUS "the Qt platform and the speech synthesizer include no engine folder")
  elseif(CHECK STREQUAL "engine")
    _fbw_scan_engine("${ROOT}" bad)
    _fbw_fail_on("engine sources include Qt, a window floor or an engine folder above them" "${bad}")
    message(STATUS "engine is Qt-free and each folder includes only the floors it stands on")
  else()
    message(FATAL_ERROR "CHECK must be engine, platform or windows (is \"${CHECK}\")")
  endif()
endif()
