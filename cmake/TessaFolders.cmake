include(CheckLinkerFlag)
# The default linker (bfd) leaves in a library's dynamic table, as local
# entries, the template code that other libraries it links also define; gold
# leaves them out, so the table lists exactly what the library shows.
check_linker_flag(CXX "-fuse-ld=gold" TESSA_LINKER_GOLD)

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
#
# SHARED makes it one of the program's private shared libraries:
# - its objects are built with hidden visibility; its headers mark what it
#   shows (QUIREPANE_API, TESSA_PLATFORM_API), and a version script keeps
#   every symbol outside the EXPORTS namespaces local (the standard library's
#   template code among them);
# - it is installed under TESSA_PRIVATE_LIBDIR and finds its fellows there
#   ($ORIGIN); the programs find it through CMAKE_INSTALL_RPATH;
# - with BUILD_TESTING the same objects also form <name>_internal, a static
#   library through which tests reach the units the shared one hides.
function(tessa_folder_library name)
  cmake_parse_arguments(ARG "SHARED" "" "DEPS;QT_DEPS;EXPORTS" ${ARGN})
  tessa_collect_sources(srcs)
  if(NOT srcs)
    # A folder whose first unit is still to come builds an empty library.
    set(srcs ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(CONFIGURE OUTPUT ${srcs} CONTENT "" @ONLY)
  endif()
  if(ARG_SHARED)
    add_library(${name}_objects OBJECT ${srcs})
    set_target_properties(${name}_objects PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    target_include_directories(${name}_objects PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name}_objects PUBLIC ${ARG_DEPS})
    # Object files go only into the targets that link the object library
    # directly; everything further on gets its include folders and links.
    add_library(${name} SHARED)
    target_link_libraries(${name} PUBLIC ${name}_objects)
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}.map)
    set(patterns "")
    foreach(ns IN LISTS ARG_EXPORTS)
      string(APPEND patterns "      ${ns}::*;\n      vtable?for?${ns}::*;\n"
                             "      typeinfo?for?${ns}::*;\n      typeinfo?name?for?${ns}::*;\n")
    endforeach()
    # Written only when its text changes (as every generated file is), so a
    # configure run that changes nothing relinks nothing.
    file(CONFIGURE OUTPUT ${script}
         CONTENT "{\n  global:\n    extern \"C++\" {\n${patterns}    };\n  local: *;\n};\n" @ONLY)
    target_link_options(${name} PRIVATE "LINKER:--version-script=${script}")
    if(TESSA_LINKER_GOLD)
      target_link_options(${name} PRIVATE -fuse-ld=gold)
    endif()
    set_target_properties(${name} PROPERTIES LINK_DEPENDS ${script} INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${name} LIBRARY DESTINATION ${TESSA_PRIVATE_LIBDIR})
    if(BUILD_TESTING)
      add_library(${name}_internal STATIC)
      target_link_libraries(${name}_internal PUBLIC ${name}_objects)
    endif()
  else()
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
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
