# One compilation of stackcc_add_program(), run as
#   cmake -DSTACKCC=... -DSOURCE=... -DDIR=... -DDEPFILE=... -DTARGET=... -DOPTIONS=... -P stackcc_compile.cmake
#
# 1. The files the last run copied into DIR for stackvm are removed, so that
#    the compiler reads Sys10.c and the included files where they are.
# 2. SOURCE is copied into DIR and compiled there by its file name (so -d
#    markers name it as a run in its own folder would) with `-I <its folder>`
#    before OPTIONS, and -MD -MF DEPFILE -MT TARGET.
# 3. On errors TARGET is removed (so the next build compiles again) and the
#    step fails; <base>.err stays for reading.
# 4. The rule is written again with SOURCE in place of its copy, and every
#    other file of the rule is copied into DIR under the name it
#    has relative to the search folder it was found in, so that stackvm finds
#    Sys10.c and what it includes beside the compiled files. DIR/.stackcc-copied
#    lists them for step 1 of the next run.
cmake_minimum_required(VERSION 3.20)

foreach(var STACKCC SOURCE DIR DEPFILE TARGET)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "stackcc_compile.cmake: ${var} is not set")
  endif()
endforeach()

set(manifest ${DIR}/.stackcc-copied)
if(EXISTS ${manifest})
  file(STRINGS ${manifest} copied)
  foreach(file IN LISTS copied)
    file(REMOVE ${DIR}/${file})
  endforeach()
  file(REMOVE ${manifest})
endif()

get_filename_component(source_dir ${SOURCE} DIRECTORY)
get_filename_component(file_name ${SOURCE} NAME)
file(MAKE_DIRECTORY ${DIR})
configure_file(${SOURCE} ${DIR}/${file_name} COPYONLY)

# The folders searched after DIR, in the compiler's order.
set(search_dirs ${source_dir})
set(take_next OFF)
foreach(option IN LISTS OPTIONS)
  if(take_next)
    list(APPEND search_dirs ${option})
    set(take_next OFF)
  elseif(option STREQUAL "-I")
    set(take_next ON)
  elseif(option MATCHES "^-I(.+)$")
    list(APPEND search_dirs ${CMAKE_MATCH_1})
  endif()
endforeach()

# A file name as make reads it.
function(make_escaped name into)
  string(REPLACE "$" "$$" name "${name}")
  string(REPLACE " " "\\ " name "${name}")
  string(REPLACE "#" "\\#" name "${name}")
  set(${into} "${name}" PARENT_SCOPE)
endfunction()
make_escaped("${TARGET}" target_escaped)

file(REMOVE ${DEPFILE})
execute_process(
  COMMAND ${STACKCC} ${file_name} -I ${source_dir} ${OPTIONS}
          -MD -MF ${DEPFILE} -MT ${target_escaped}
  WORKING_DIRECTORY ${DIR}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${TARGET})
  message(FATAL_ERROR "stackcc ${SOURCE}: status ${status} (the reports are in ${DIR})")
endif()

# The prerequisites of the rule, unescaped.
file(READ ${DEPFILE} rule)
string(REPLACE "\\\n" " " rule "${rule}")
string(FIND "${rule}" "\n" end)
if(end GREATER -1)
  string(SUBSTRING "${rule}" 0 ${end} rule)
endif()
string(LENGTH "${target_escaped}:" skip)
string(SUBSTRING "${rule}" ${skip} -1 rule)
string(ASCII 1 blank)
string(REPLACE "$$" "$" rule "${rule}")
string(REPLACE "\\ " "${blank}" rule "${rule}")
string(REPLACE "\\\t" "${blank}" rule "${rule}")
string(REPLACE "\\#" "#" rule "${rule}")
string(REGEX MATCHALL "[^ \t]+" prerequisites "${rule}")

set(copied)
make_escaped("${SOURCE}" escaped)
set(rule "${target_escaped}: ${escaped}")
foreach(file IN LISTS prerequisites)
  string(REPLACE "${blank}" " " file "${file}")
  get_filename_component(file ${file} ABSOLUTE BASE_DIR ${DIR})
  if(file STREQUAL "${DIR}/${file_name}")
    continue()
  endif()
  make_escaped("${file}" escaped)
  string(APPEND rule " \\\n ${escaped}")
  foreach(search_dir IN LISTS search_dirs)
    get_filename_component(search_dir ${search_dir} ABSOLUTE BASE_DIR ${DIR})
    file(RELATIVE_PATH relative ${search_dir} ${file})
    if(NOT relative MATCHES "^\\.\\./" AND NOT IS_ABSOLUTE "${relative}")
      if(NOT relative STREQUAL file_name AND NOT EXISTS ${DIR}/${relative})
        configure_file(${file} ${DIR}/${relative} COPYONLY)
        list(APPEND copied ${relative})
      endif()
      break()
    endif()
  endforeach()
endforeach()
# The rule names the original source, not its copy.
file(WRITE ${DEPFILE} "${rule}\n")
list(JOIN copied "\n" copied)
file(WRITE ${manifest} "${copied}\n")
