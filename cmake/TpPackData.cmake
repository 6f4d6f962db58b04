# cmake -DZIP=<zip> -DOUTPUT=<package> -DDIRS=<dir>|<dir>... -DSTATE=<manifest> [-DSKIP=<regex>] -P TpPackData.cmake
# Packs the files of the folders (in that order; a later folder's file replaces an
# earlier one of the same name, whatever its letter case) into the zip archive OUTPUT,
# with names relative to their folder; names matching SKIP are left out. Nothing is done
# when no file was added, removed or changed since the last packing (the list of names
# and content hashes is kept in STATE). The archive is written beside OUTPUT and renamed
# over it when complete.
cmake_minimum_required(VERSION 3.25)

# Formats that do not compress further are stored.
set(stored_suffixes ".jpg:.jpeg:.png:.gif:.mp3:.ogg:.avi:.mpg:.mpeg:.mp4:.zip:.gz:.Tarvol")

string(REPLACE "|" ";" dirs "${DIRS}")
# The game finds names whatever their letter case, so a later folder's file replaces an
# earlier one whose name differs only in case too: the earlier one is left out.
set(later "")
set(kept_dirs "")
list(REVERSE dirs)
foreach(dir IN LISTS dirs)
  if(NOT IS_DIRECTORY "${dir}")
    continue()
  endif()
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${dir}" "${dir}/*")
  # The build's own files and hidden files are not data.
  list(FILTER files EXCLUDE REGEX "^CMakeLists\\.txt$|(^|/)\\.|\\.cmake$")
  if(SKIP)
    list(FILTER files EXCLUDE REGEX "${SKIP}")
  endif()
  set(mine "")
  set(lowered "")
  foreach(f IN LISTS files)
    string(TOLOWER "${f}" key)
    if(NOT key IN_LIST later)
      list(APPEND mine "${f}")
      list(APPEND lowered "${key}")
    endif()
  endforeach()
  list(APPEND later ${lowered})
  list(SORT mine)
  if(mine)
    list(PREPEND kept_dirs "${dir}")
    set("files_of_${dir}" "${mine}")
  endif()
endforeach()

set(manifest "")
set(lists "")
set(index 0)
foreach(dir IN LISTS kept_dirs)
  set(files "${files_of_${dir}}")
  string(APPEND manifest "${dir}\n")
  foreach(f IN LISTS files)
    file(MD5 "${dir}/${f}" hash)
    string(APPEND manifest "  ${f} ${hash}\n")
  endforeach()
  set(list_file "${OUTPUT}.list${index}")
  string(REPLACE ";" "\n" names "${files}")
  file(WRITE "${list_file}" "${names}\n")
  list(APPEND lists "${dir}|${list_file}")
  math(EXPR index "${index} + 1")
endforeach()

if(EXISTS "${OUTPUT}" AND EXISTS "${STATE}")
  file(READ "${STATE}" old)
  if(old STREQUAL manifest)
    foreach(entry IN LISTS lists)
      string(REPLACE "|" ";" pair "${entry}")
      list(GET pair 1 list_file)
      file(REMOVE "${list_file}")
    endforeach()
    return()
  endif()
endif()

if(NOT lists)
  message(FATAL_ERROR "No data files to pack into ${OUTPUT}")
endif()

set(temp "${OUTPUT}.new")
file(REMOVE "${temp}" "${STATE}")
foreach(entry IN LISTS lists)
  string(REPLACE "|" ";" pair "${entry}")
  list(GET pair 0 dir)
  list(GET pair 1 list_file)
  # -X: no extra file attributes; -D: no folder entries; -@: names from the list.
  execute_process(
    COMMAND "${ZIP}" -q -X -D -n "${stored_suffixes}" "${temp}" -@
    WORKING_DIRECTORY "${dir}"
    INPUT_FILE "${list_file}"
    RESULT_VARIABLE rc)
  file(REMOVE "${list_file}")
  if(NOT rc EQUAL 0)
    file(REMOVE "${temp}")
    message(FATAL_ERROR "zip failed (${rc}) packing ${dir}")
  endif()
endforeach()
file(RENAME "${temp}" "${OUTPUT}")
file(WRITE "${STATE}" "${manifest}")
message(STATUS "Packed ${OUTPUT}")
