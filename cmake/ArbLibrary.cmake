# One static library per layer folder, made of every source in that folder.
#
#   arb_library(<name> [GUI] [DEPENDS <layer libraries below it>] [LINK <outside libraries>])
#
# DEPENDS is the one place where a layer's allowed arrows are written: the
# library links them, and the layering test reads them (with their closure)
# to check every include line of the folder. Only GUI libraries may use the
# toolkit; they link it.
function(arb_library name)
  cmake_parse_arguments(ARG "GUI" "" "DEPENDS;LINK" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${_srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} ${ARG_LINK})
  file(RELATIVE_PATH _folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE ";" " " _deps "${ARG_DEPENDS}")
  if(ARG_GUI)
    target_link_libraries(${name} PUBLIC arb_wx)
    set(_deps "${_deps} GUI")
  endif()
  set_property(GLOBAL APPEND PROPERTY ARB_LAYERS "${name} ${_folder} ${_deps}")
endfunction()

# Writes the layers recorded so far, one line each: library, folder, the
# libraries it may use.
function(arb_write_layers file)
  get_property(_layers GLOBAL PROPERTY ARB_LAYERS)
  string(REPLACE ";" "\n" _text "${_layers}")
  file(WRITE ${file} "${_text}\n")
endfunction()

# How long one test entry may run; the sanitizer build runs several times slower.
set(ARB_TEST_TIMEOUT 300 CACHE STRING "Seconds one test entry may run")

# One test program per test folder, made of every test source in it.
function(arb_test_folder name)
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${_srcs})
  target_link_libraries(${name} PRIVATE ${ARGN} arbtestsupport arbtestmain GTest::gtest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${ARB_TEST_TIMEOUT})
endfunction()

# Tests that talk to the real test servers: every source in live/ (plus any
# extra sources given with SOURCES) in one program run as one ctest entry, so
# the servers start once for all of them.
function(arb_live_test_folder name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  file(GLOB _live CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/live/*.cpp)
  add_executable(${name} ${_live} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} arbtestsupport arbtestmain GTest::gtest)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARB_TEST_TIMEOUT})
endfunction()

# One window-test program per GUI test folder, run under an Xvfb display of
# its own (xvfb-run starts it). Screenshots go to build/test-output/ui/.
function(arb_gui_test_folder name)
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${_srcs})
  target_link_libraries(${name} PRIVATE ${ARGN} arbuitestsupport arbuitestmain arbtestsupport GTest::gtest)
  target_compile_definitions(${name} PRIVATE ARB_TEST_OUTPUT_DIR="${CMAKE_BINARY_DIR}/test-output")
  add_dependencies(${name} arbresource)
  add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARB_TEST_TIMEOUT})
endfunction()
