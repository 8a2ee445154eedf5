# The CMake package, as a user's project meets it: tests/package/project is
# configured against the installed tree of the install.* tests and built, once
# per generator (package_test.sh says what is checked), in a folder whose name
# has a blank, as the make rules must escape. Ninja is optional.
set(package_generators)
find_program(STACKCC_TEST_MAKE NAMES make gmake)
if(STACKCC_TEST_MAKE)
  list(APPEND package_generators "Unix Makefiles=${STACKCC_TEST_MAKE}")
endif()
find_program(STACKCC_TEST_NINJA NAMES ninja ninja-build)
if(STACKCC_TEST_NINJA)
  list(APPEND package_generators "Ninja=${STACKCC_TEST_NINJA}")
else()
  message(STATUS "ninja not found: the CMake package is tested with make only")
endif()
foreach(entry IN LISTS package_generators)
  string(REGEX REPLACE "=.*" "" generator "${entry}")
  string(REGEX REPLACE "^[^=]*=" "" make_program "${entry}")
  string(REPLACE "Unix Makefiles" make test_name "${generator}")
  string(TOLOWER ${test_name} test_name)
  add_test(NAME install.cmake_package.${test_name}
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/package_test.sh ${CMAKE_COMMAND}
                   ${install_prefix} ${generator} ${make_program}
                   "${CMAKE_BINARY_DIR}/package test-${test_name}")
  set_tests_properties(install.cmake_package.${test_name} PROPERTIES
                       FIXTURES_REQUIRED installed TIMEOUT 300)
endforeach()
