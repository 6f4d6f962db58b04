# tp_library(<name> [DEPS <targets>...])
# Builds the library of the calling folder from every .cpp in it (and below it),
# so that adding a source file needs no edit here.
function(tp_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$")
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# tp_generated_data(TARGET <target> DIR <dir>)
# Declares that <target> makes game data files under <dir> (a folder in the build tree
# laid out as the data package is: "samples/...", "Music/...", pictures...). The build
# packs that tree into "Base.Tarvol" together with the source folder data/, and rebuilds
# the package when the target has run. Generators in tools/ call this.
function(tp_generated_data)
  cmake_parse_arguments(ARG "" "TARGET;DIR" "" ${ARGN})
  if(NOT ARG_TARGET OR NOT ARG_DIR)
    message(FATAL_ERROR "tp_generated_data needs TARGET and DIR")
  endif()
  set_property(GLOBAL APPEND PROPERTY TP_DATA_TARGETS ${ARG_TARGET})
  set_property(GLOBAL APPEND PROPERTY TP_DATA_DIRS ${ARG_DIR})
endfunction()
