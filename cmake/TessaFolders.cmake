# One library per source folder: every .cpp directly in the folder is part of
# it, so adding a file needs no edit here. A folder's Qt-side units live in its
# qt/ subfolder and build a second library, <name>_qt.
function(tessa_folder_library name)
  cmake_parse_arguments(ARG "SHARED" "" "DEPS;QT_DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
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
  file(GLOB qt_srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/qt/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/qt/*.h)
  if(qt_srcs)
    add_library(${name}_qt STATIC ${qt_srcs})
    set_target_properties(${name}_qt PROPERTIES AUTOMOC ON)
    target_link_libraries(${name}_qt PUBLIC ${name} Qt6::Widgets ${ARG_QT_DEPS})
  endif()
endfunction()

# One GoogleTest program per test folder, from every .cpp in it; each test is
# registered with ctest when ctest runs.
function(tessa_test_folder name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
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
