# Run by CPack (CPACK_INSTALL_SCRIPTS) while it stages the Debian package: the
# files every Debian package carries beside its own, which an install under a
# prefix has no use for. file(INSTALL) puts them under the staging folder
# (DESTDIR) like the project's own install rules.
set(staged ${CPACK_PACKAGE_DIRECTORY}/debian-files)
set(doc_dir ${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/${CPACK_PACKAGE_NAME})
set(overrides_dir ${CPACK_PACKAGING_INSTALL_PREFIX}/share/lintian/overrides)
file(REMOVE_RECURSE ${staged})

# A native package's changelog: one entry, for the version packaged. The date
# follows SOURCE_DATE_EPOCH when it is set, for a reproducible package.
string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
string(TIMESTAMP year "%Y" UTC)
file(WRITE ${staged}/changelog
     "${CPACK_PACKAGE_NAME} (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium\n\n"
     "  * Package of ${CPACK_PACKAGE_NAME} ${CPACK_PACKAGE_VERSION}.\n\n"
     " -- ${CPACK_PACKAGE_CONTACT}  ${date}\n")
execute_process(COMMAND gzip -9nf ${staged}/changelog COMMAND_ERROR_IS_FATAL ANY)

# The copyright file: the MIT licence of the source tree's LICENSE, which
# Debian's format names Expat, its text after the notice, indented by one
# space with " ." for an empty line.
file(READ ${CPACK_STACKCC_LICENSE_FILE} license_text)
string(REGEX REPLACE "^MIT License\n\nCopyright[^\n]*\n\n" "" license_text "${license_text}")
string(REGEX REPLACE "\n+$" "" license_text "${license_text}")
string(REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REPLACE "\n" "\n " license_text " ${license_text}")
string(APPEND license_text "\n")
file(WRITE ${staged}/copyright
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: ${CPACK_PACKAGE_NAME}\n\n"
     "Files: *\n"
     "Copyright: ${year} the ${CPACK_PACKAGE_NAME} developers\n"
     "License: Expat\n"
     "Comment: the MIT licence, as the LICENSE file of the source tree gives it.\n\n"
     "License: Expat\n"
     "${license_text}")

set(mode PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(INSTALL ${staged}/changelog.gz ${staged}/copyright DESTINATION ${doc_dir} ${mode})

# stackcc is linked statically on purpose where it can be (it starts faster
# without the shared C++ runtime; see STACKCC_STATIC in CMakeLists.txt).
if(CPACK_STACKCC_STATIC)
  file(WRITE ${staged}/${CPACK_PACKAGE_NAME}
       "# Linked statically on purpose: the compiler starts without loading the C++ runtime.\n"
       "${CPACK_PACKAGE_NAME}: statically-linked-binary [usr/bin/stackcc]\n")
  file(INSTALL ${staged}/${CPACK_PACKAGE_NAME} DESTINATION ${overrides_dir} ${mode})
endif()
