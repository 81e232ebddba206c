# Libraries loaded on the first call into them, so that a run whose inputs
# never need one does not map it and the libraries it needs in turn.
#
# tessa_on_demand(<target> LIBRARY <path> PREFIX <name> SYMBOLS <regex>
#                 [INIT <function>] [DIRECT <imported target>])
# makes <target> an interface library to link PRIVATE in each library that
# calls <path> (whatever links it PUBLIC builds the entries in too), with
# DIRECT's include folders and compile flags. On x86-64 every function
# <path> exports whose name matches <regex> becomes an entry point of that
# name (hidden, so each library keeps its own), built into that library from
# on_demand_entries.cpp.in: the first call to any of them loads <path> and
# calls `void <function>(void* library)` once; each entry, on its own first
# call, looks its target up, and from then on jumps straight on. Elsewhere
# DIRECT, or <path>, is linked.
set(TESSA_ON_DEMAND_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/on_demand_entries.cpp.in)

function(tessa_on_demand target)
  cmake_parse_arguments(ARG "" "LIBRARY;PREFIX;SYMBOLS;INIT;DIRECT" "" ${ARGN})
  add_library(${target} INTERFACE)
  if(NOT CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
    if(ARG_DIRECT)
      target_link_libraries(${target} INTERFACE ${ARG_DIRECT})
    else()
      target_link_libraries(${target} INTERFACE ${ARG_LIBRARY})
    endif()
    return()
  endif()
  if(ARG_DIRECT)
    target_include_directories(${target} INTERFACE $<TARGET_PROPERTY:${ARG_DIRECT},INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_options(${target} INTERFACE $<TARGET_PROPERTY:${ARG_DIRECT},INTERFACE_COMPILE_OPTIONS>)
  endif()
  # The entry list and the name to load, read from the library itself.
  execute_process(COMMAND nm -D --defined-only ${ARG_LIBRARY} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND objdump -p ${ARG_LIBRARY} OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCH "SONAME +([^\n ]+)" _ "${headers}")
  set(soname ${CMAKE_MATCH_1})
  string(REGEX MATCHALL " T [A-Za-z0-9_]+" entries "${symbols}")
  set(lines "")
  set(index 0)
  foreach(entry IN LISTS entries)
    string(REPLACE " T " "" entry "${entry}")
    if(entry MATCHES "^(${ARG_SYMBOLS})$")
      string(APPEND lines "TESSA_ON_DEMAND_ENTRY(${index}, ${entry})\n")
      math(EXPR index "${index} + 1")
    endif()
  endforeach()
  if(NOT soname OR index EQUAL 0)
    message(FATAL_ERROR "cannot read the entries of ${ARG_LIBRARY}")
  endif()
  set(folder ${CMAKE_BINARY_DIR}/on_demand)
  file(CONFIGURE OUTPUT ${folder}/${ARG_PREFIX}_entries.inc CONTENT "${lines}" @ONLY)
  set(PREFIX ${ARG_PREFIX})
  set(SONAME ${soname})
  set(INIT_DECLARATION "")
  set(INIT_CALL "")
  if(ARG_INIT)
    set(INIT_DECLARATION "// Starts the library, once, before any entry goes on.\n__attribute__((visibility(\"hidden\"))) void ${ARG_INIT}(void* library);")
    set(INIT_CALL "${ARG_INIT}(loaded);")
  endif()
  configure_file(${TESSA_ON_DEMAND_TEMPLATE} ${folder}/${ARG_PREFIX}_on_demand.cpp @ONLY)
  target_sources(${target} INTERFACE ${folder}/${ARG_PREFIX}_on_demand.cpp)
  string(TOUPPER ${ARG_PREFIX} upper)
  target_compile_definitions(${target} INTERFACE TESSA_${upper}_ON_DEMAND=1)
  target_link_libraries(${target} INTERFACE ${CMAKE_DL_LIBS})
endfunction()
