# What `cmake --install` (and `make install`) puts under the prefix, and the
# Debian package that `make package` builds from the same rules.
#
#   bin/stackcc, bin/stackvm                 the executables (nothing else is built for it)
#   share/man/man1/stackcc.1, stackvm.1      the manual pages (gzipped where gzip exists)
#   share/doc/stackcc/README.md              the README
#   share/doc/stackcc/docs/                  docs/, so that the README's links work there too
#   share/doc/stackcc/examples/              the example programs with their device scripts
#   share/stackcc/stackvm.h                  the prototypes of stackvm's built-in routines
#   share/stackcc/stackvm_builtins.c         the same built-ins in C (stackvm --compare-gcc)
#   share/stackcc/cmake/                     the CMake package (cmake/package.cmake)
include(GNUInstallDirs)

set(STACKCC_DOC_SOURCE ${PROJECT_SOURCE_DIR}/docs)
set(STACKCC_EXAMPLES_SOURCE ${PROJECT_SOURCE_DIR}/examples)

set(STACKCC_PROGRAMS stackcc)
if(TARGET stackvm)
  list(APPEND STACKCC_PROGRAMS stackvm)
endif()
install(TARGETS ${STACKCC_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# One manual page per program. Pages are compressed with `gzip -9n` (no name or
# time in the archive, so the same page gives the same bytes), as Debian wants.
find_program(STACKCC_GZIP gzip)
set(STACKCC_MAN_PAGES)
foreach(program ${STACKCC_PROGRAMS})
  set(page ${STACKCC_DOC_SOURCE}/man/${program}.1)
  if(STACKCC_GZIP)
    set(copy ${CMAKE_BINARY_DIR}/man/${program}.1)
    add_custom_command(OUTPUT ${copy}.gz
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
                       COMMAND ${CMAKE_COMMAND} -E copy ${page} ${copy}
                       COMMAND ${STACKCC_GZIP} -9nf ${copy}
                       DEPENDS ${page} VERBATIM)
    set(page ${copy}.gz)
  endif()
  list(APPEND STACKCC_MAN_PAGES ${page})
endforeach()
add_custom_target(stackcc_man_pages ALL DEPENDS ${STACKCC_MAN_PAGES})
install(FILES ${STACKCC_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${STACKCC_DOC_SOURCE}/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs
        FILES_MATCHING PATTERN "*.md" PATTERN man EXCLUDE)
install(DIRECTORY ${STACKCC_EXAMPLES_SOURCE}/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# The header lives with the simulator's sources, wherever they are.
if(TARGET stackvm)
  get_target_property(stackvm_source_dir stackvm SOURCE_DIR)
  install(FILES ${stackvm_source_dir}/include/stackvm.h
                ${stackvm_source_dir}/include/stackvm_builtins.c
          DESTINATION ${CMAKE_INSTALL_DATADIR}/stackcc)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/package.cmake)

# The Debian package: `make package` (or `cpack -G DEB` in the build folder).
set(STACKCC_PACKAGE_MAINTAINER "stackcc maintainers <stackcc@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME stackcc)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${STACKCC_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compiler from a small C-like language to stack-machine assembly")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "stackcc compiles controller programs written in a small C-like language\n"
       "into the line-oriented stack-machine assembly that the controller's\n"
       "assembler reads. stackvm runs the compiled files on the desktop with an\n"
       "exact model of the machine.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies as dpkg-shlibdeps finds them: none for a static stackcc, the C
# and C++ runtimes for a dynamic one and for stackvm.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The changelog, the copyright file and the lintian overrides a package carries.
get_target_property(stackcc_link_options stackcc LINK_OPTIONS)
if("-static" IN_LIST stackcc_link_options)
  set(CPACK_STACKCC_STATIC ON)
endif()
set(CPACK_INSTALL_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian_files.cmake)
# The licence (MIT) that the copyright file carries.
set(CPACK_STACKCC_LICENSE_FILE ${PROJECT_SOURCE_DIR}/LICENSE)
include(CPack)
