# tp_glob(<var> <dir> <pattern> [RECURSE])
# The files of <dir> (and, with RECURSE, of every folder below it) matching <pattern>,
# sorted. The folders searched become configure dependencies: adding, removing or
# renaming a file in one of them runs CMake again at the next build, and a build with
# nothing changed runs nothing (a glob with CONFIGURE_DEPENDS is checked at every build).
function(tp_glob var dir pattern)
  cmake_parse_arguments(ARG "RECURSE" "" "" ${ARGN})
  set(folders ${dir})
  if(ARG_RECURSE)
    file(GLOB_RECURSE entries LIST_DIRECTORIES true ${dir}/*)
    foreach(entry IN LISTS entries)
      if(IS_DIRECTORY ${entry})
        list(APPEND folders ${entry})
      endif()
    endforeach()
  endif()
  set(found "")
  foreach(folder IN LISTS folders)
    file(GLOB here LIST_DIRECTORIES false ${folder}/${pattern})
    list(APPEND found ${here})
  endforeach()
  list(SORT found)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${folders})
  set(${var} ${found} PARENT_SCOPE)
endfunction()

# tp_library(<name> [DEPS <targets>...] [PRIVATE_DEPS <targets>...])
# Builds the library of the calling folder from every .cpp in it (and below it),
# so that adding a source file needs no edit here. DEPS are passed on to the library's
# users; PRIVATE_DEPS are not (their headers stay out of the users' include path).
function(tp_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  tp_glob(srcs ${CMAKE_CURRENT_SOURCE_DIR} "*.cpp" RECURSE)
  list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$")
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    if(ARG_PRIVATE_DEPS)
      target_link_libraries(${name} PRIVATE ${ARG_PRIVATE_DEPS})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# tp_generated_data(TARGET <target> DIR <dir> STAMP <file>)
# Declares that <target> makes game data files under <dir> (a folder in the build tree
# laid out as the data package is: "samples/...", "Music/...", pictures...), and that
# <file> is touched whenever it made them anew. The build packs that tree into
# "Base.Tarvol" together with the source folder data/, and packs again when the stamp
# changed. Generators in tools/ call this.
function(tp_generated_data)
  cmake_parse_arguments(ARG "" "TARGET;DIR;STAMP" "" ${ARGN})
  if(NOT ARG_TARGET OR NOT ARG_DIR OR NOT ARG_STAMP)
    message(FATAL_ERROR "tp_generated_data needs TARGET, DIR and STAMP")
  endif()
  set_property(GLOBAL APPEND PROPERTY TP_DATA_TARGETS ${ARG_TARGET})
  set_property(GLOBAL APPEND PROPERTY TP_DATA_DIRS ${ARG_DIR})
  set_property(GLOBAL APPEND PROPERTY TP_DATA_STAMPS ${ARG_STAMP})
endfunction()
