# Fails when the engine library links Qt or when one of its sources or the
# headers beside them includes a Qt header. Runs at configure time and, as a
# script (cmake -DROOT=... -P), as a test.

set(_FBW_ENGINE_DIRS platform image data vocab story sound book wordlist scene)
set(_FBW_QT_INCLUDE_RE "#[ \t]*include[ \t]*[<\"](Q[A-Za-z]+|Qt[A-Za-z]*/)")
# Qt files that live beside engine code (windows of book/ and wordlist/) are
# named Form* or Qt*.
set(_FBW_QT_FILE_RE "/(platform/qt|(book|wordlist)/(Form|Qt)[A-Za-z]*)")

function(_fbw_scan_engine root out)
  set(bad "")
  foreach(dir IN LISTS _FBW_ENGINE_DIRS)
    file(GLOB_RECURSE files "${root}/src/${dir}/*.h" "${root}/src/${dir}/*.cpp")
    foreach(f IN LISTS files)
      if(f MATCHES "${_FBW_QT_FILE_RE}")
        continue()
      endif()
      file(STRINGS "${f}" hits REGEX "${_FBW_QT_INCLUDE_RE}")
      if(hits)
        list(APPEND bad "${f}")
      endif()
    endforeach()
  endforeach()
  set(${out} "${bad}" PARENT_SCOPE)
endfunction()

function(fbw_check_engine_qt_free target)
  get_target_property(libs ${target} LINK_LIBRARIES)
  foreach(l IN LISTS libs)
    if(l MATCHES "Qt")
      message(FATAL_ERROR "${target} must not link Qt (links ${l})")
    endif()
  endforeach()
  _fbw_scan_engine("${PROJECT_SOURCE_DIR}" bad)
  if(bad)
    message(FATAL_ERROR "engine sources include Qt: ${bad}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED ROOT)
  _fbw_scan_engine("${ROOT}" bad)
  if(bad)
    message(FATAL_ERROR "engine sources include Qt: ${bad}")
  endif()
  message(STATUS "engine is Qt-free")
endif()
