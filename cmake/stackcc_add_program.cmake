# stackcc_add_program(<name> SOURCE <file.c> [OPTIONS <option>...] [EXCLUDE_FROM_ALL])
#
# Compiles one program with stackcc whenever it or any file the compiler read
# (Sys10.c, every #include) changed, and makes <name> a target that depends on
# what the run writes. Loaded by stackccConfig.cmake; needs stackcc::stackcc.
#
# The compiler writes funct1.txt beside the source, so two programs of one
# folder compiled in place would overwrite each other's. Each program is
# therefore compiled in its own folder, ${CMAKE_CURRENT_BINARY_DIR}/stackcc/<name>/:
# the source is copied there and the compiler is given `-I <source folder>`
# first, so Sys10.c and the included files are read where they are, as an
# in-place run would read them. After the run, those files are also copied
# into the program's folder, so that stackvm finds Sys10.c and what it
# includes beside the compiled files.
#
# The target <name> carries the properties
#   STACKCC_OUTPUT_DIR   the program's folder
#   STACKCC_PROGRAM      the copied source: what to give stackvm
#   STACKCC_OUTPUTS      every file the run writes (<base>.000 ... funct1.txt)
#   STACKCC_DEPFILE      the make rule of the run (-MD)
# OPTIONS are passed to stackcc after the source (-d, -c<suffix>, -I DIR,
# -Wall, ...); -MD, -MF, -MT and -MP belong to the function and are refused.
# The program is built with the default target, as an executable would be,
# unless EXCLUDE_FROM_ALL is given.

set(_STACKCC_COMPILE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/stackcc_compile.cmake)

function(stackcc_add_program name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "EXCLUDE_FROM_ALL" "SOURCE" "OPTIONS")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "stackcc_add_program(${name}): unknown arguments: ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT arg_SOURCE)
    message(FATAL_ERROR "stackcc_add_program(${name}): SOURCE <file.c> is required")
  endif()
  if(NOT TARGET stackcc::stackcc)
    message(FATAL_ERROR "stackcc_add_program(${name}): stackcc::stackcc is not defined (find_package(stackcc) first)")
  endif()
  # Relative -I folders are taken from the current source folder, as
  # target_include_directories() takes them.
  set(options)
  set(folder_next OFF)
  foreach(option IN LISTS arg_OPTIONS)
    if(folder_next)
      get_filename_component(option ${option} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
      set(folder_next OFF)
    elseif(option STREQUAL "-I")
      set(folder_next ON)
    elseif(option MATCHES "^-I(.+)$")
      get_filename_component(option ${CMAKE_MATCH_1} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
      set(option -I${option})
    elseif(option MATCHES "^-M[DFTPQ]")
      message(FATAL_ERROR "stackcc_add_program(${name}): ${option} is set by the function itself")
    endif()
    list(APPEND options ${option})
  endforeach()
  if(folder_next)
    message(FATAL_ERROR "stackcc_add_program(${name}): -I needs a folder")
  endif()

  get_filename_component(source ${arg_SOURCE} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  get_source_file_property(generated ${source} GENERATED)
  if(NOT EXISTS ${source} AND NOT generated)
    message(FATAL_ERROR "stackcc_add_program(${name}): ${source} does not exist")
  endif()
  get_filename_component(source_dir ${source} DIRECTORY)
  get_filename_component(file_name ${source} NAME)
  # The base name is the file name up to its first '.'; a name with a '.'
  # must be <base>.c (the compiler refuses anything else).
  string(FIND "${file_name}" "." dot)
  if(dot LESS 1)
    message(FATAL_ERROR "stackcc_add_program(${name}): ${arg_SOURCE} is not named <base>.c")
  endif()
  string(SUBSTRING "${file_name}" 0 ${dot} base)
  string(SUBSTRING "${file_name}" ${dot} -1 extension)
  if(NOT extension STREQUAL ".c")
    message(FATAL_ERROR "stackcc_add_program(${name}): ${arg_SOURCE} is not named <base>.c")
  endif()
  # A base ending in our90 (any case) names its listing and header sys90.
  set(header_base ${base})
  string(TOLOWER "${base}" lower_base)
  if(lower_base MATCHES "our90$")
    string(LENGTH "${base}" length)
    math(EXPR keep "${length} - 5")
    string(SUBSTRING "${base}" 0 ${keep} header_base)
    string(APPEND header_base sys90)
  endif()

  set(dir ${CMAKE_CURRENT_BINARY_DIR}/stackcc/${name})
  set(outputs)
  foreach(extension .000 .001 .002 .003 .004 .err)
    list(APPEND outputs ${dir}/${base}${extension})
  endforeach()
  list(APPEND outputs ${dir}/${header_base}.lst ${dir}/${header_base}.h ${dir}/funct1.txt)
  set(depfile ${dir}/${base}.d)
  # Make and Ninja take the rule of the depfile for the first output: the code
  # file, which the compile script names with -MT and removes after errors.
  set(code ${dir}/${base}.001)
  set(other_outputs ${outputs})
  list(REMOVE_ITEM other_outputs ${code})

  add_custom_command(
    OUTPUT ${code} ${other_outputs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${CMAKE_COMMAND} -DSTACKCC=$<TARGET_FILE:stackcc::stackcc> -DSOURCE=${source}
            -DDIR=${dir} -DDEPFILE=${depfile} -DTARGET=${code}
            "-DOPTIONS=${options}" -P ${_STACKCC_COMPILE_SCRIPT}
    DEPENDS ${source} $<TARGET_FILE:stackcc::stackcc> ${_STACKCC_COMPILE_SCRIPT}
    DEPFILE ${depfile}
    COMMENT "stackcc: compiling ${arg_SOURCE} for ${name}"
    VERBATIM)
  if(arg_EXCLUDE_FROM_ALL)
    add_custom_target(${name} DEPENDS ${outputs})
  else()
    add_custom_target(${name} ALL DEPENDS ${outputs})
  endif()
  # `cmake --build --target clean` removes the copies and the rule too.
  set_property(TARGET ${name} APPEND PROPERTY ADDITIONAL_CLEAN_FILES ${dir})
  set_target_properties(${name} PROPERTIES
    STACKCC_OUTPUT_DIR ${dir}
    STACKCC_PROGRAM ${dir}/${file_name}
    STACKCC_OUTPUTS "${outputs}"
    STACKCC_DEPFILE ${depfile})
endfunction()
