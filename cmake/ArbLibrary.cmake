# One static library per subsystem folder, made of every source in that folder.
function(arb_library name)
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${_srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# One test program per test folder, made of every test source in it.
function(arb_test_folder name)
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${_srcs})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE ARB_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()

# Tests that talk to the real test servers: every source in live/ (plus any
# extra sources given with SOURCES) in one program run as one ctest entry, so
# the servers start once for all of them.
function(arb_live_test_folder name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  file(GLOB _live CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/live/*.cpp)
  add_executable(${name} ${_live} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} arbtestsupport GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()
