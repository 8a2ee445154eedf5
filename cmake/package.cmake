# The CMake package of the installation (find_package(stackcc) in a user's
# project): share/stackcc/cmake/ holds stackccConfig.cmake, its version file
# and the function stackcc_add_program() with its compile script. The paths
# in the config file are relative to its own folder, so the installed tree (or
# the Debian package) can be moved.
include(CMakePackageConfigHelpers)

set(STACKCC_CMAKE_DIR ${CMAKE_INSTALL_DATADIR}/stackcc/cmake)
set(STACKCC_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
set(STACKCC_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/stackcc)
configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/stackccConfig.cmake.in ${CMAKE_BINARY_DIR}/package/stackccConfig.cmake
  INSTALL_DESTINATION ${STACKCC_CMAKE_DIR}
  PATH_VARS STACKCC_INSTALL_BINDIR STACKCC_INSTALL_DATADIR)
# The executables run on the build machine and nothing is linked against
# them, so the version file does not compare pointer sizes.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/stackccConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES ${CMAKE_BINARY_DIR}/package/stackccConfig.cmake
              ${CMAKE_BINARY_DIR}/package/stackccConfigVersion.cmake
              ${CMAKE_CURRENT_LIST_DIR}/stackcc_add_program.cmake
              ${CMAKE_CURRENT_LIST_DIR}/stackcc_compile.cmake
        DESTINATION ${STACKCC_CMAKE_DIR})
