# tl_add_tests(NAME SOURCES ... LIBS ...): one GoogleTest binary per library,
# registered with CTest. Tests run from the build folder with the fixtures'
# folder in TL_TEST_DATA.
function(tl_add_tests name)
  if(NOT TL_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tl_test_support GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE TL_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_PREFIX "${name}."
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TL_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
endfunction()
