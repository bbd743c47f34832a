find_package(GTest REQUIRED)
include(GoogleTest)

# varno_add_test(<target> SOURCES <files...> LIBS <libs...> [THREADS])
# THREADS marks a suite that also runs under ThreadSanitizer.
function(varno_add_test target)
  cmake_parse_arguments(ARG "THREADS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} varno_test_main GTest::gtest GTest::gmock Threads::Threads)
  set(labels unit)
  if(ARG_THREADS)
    list(APPEND labels threads)
  endif()
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${labels}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
