# The .cpp files of the current folder and of every subfolder below it, except
# those under a qt/ folder or under a folder that builds itself (it holds a
# CMakeLists.txt). A new subfolder is never silently left out.
function(tessa_collect_sources out)
  file(GLOB_RECURSE all CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB_RECURSE own_builds CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  set(kept)
  foreach(f IN LISTS all)
    if(f MATCHES "(^|/)qt/")
      continue()
    endif()
    set(skip FALSE)
    foreach(b IN LISTS own_builds)
      get_filename_component(bdir ${b} DIRECTORY)
      string(FIND "${f}" "${bdir}/" at)
      if(at EQUAL 0)
        set(skip TRUE)
      endif()
    endforeach()
    if(NOT skip)
      list(APPEND kept ${CMAKE_CURRENT_SOURCE_DIR}/${f})
    endif()
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()

# One library per source folder: every .cpp in the folder and its subfolders
# is part of it, so adding a file needs no edit here. A folder's Qt-side units
# live in qt/ subfolders and build a second library, <name>_qt.
function(tessa_folder_library name)
  cmake_parse_arguments(ARG "SHARED" "" "DEPS;QT_DEPS" ${ARGN})
  tessa_collect_sources(srcs)
  if(NOT srcs)
    # A folder whose first unit is still to come builds an empty library.
    set(srcs ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${srcs} "")
  endif()
  if(ARG_SHARED)
    add_library(${name} SHARED ${srcs})
  else()
    add_library(${name} STATIC ${srcs})
  endif()
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  file(GLOB_RECURSE qt_srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER qt_srcs INCLUDE REGEX "/qt/[^/]+$")
  if(qt_srcs)
    add_library(${name}_qt STATIC ${qt_srcs})
    set_target_properties(${name}_qt PROPERTIES AUTOMOC ON)
    target_link_libraries(${name}_qt PUBLIC ${name} Qt6::Widgets ${ARG_QT_DEPS})
  endif()
endfunction()

# One GoogleTest program per test folder, from every .cpp in it and in its
# subfolders (as collected above); each test is registered with ctest when
# ctest runs.
function(tessa_test_folder name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  tessa_collect_sources(srcs)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE tessa_test_support ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TESSA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TESSA_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300)
endfunction()
