find_package(GTest REQUIRED)
include(GoogleTest)

# varno_add_test(<target> SOURCES <files...> LIBS <libs...> [THREADS])
# THREADS marks a suite that also runs under ThreadSanitizer.
function(varno_add_test target)
  cmake_parse_arguments(ARG "THREADS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} varno_test_main GTest::gtest GTest::gmock Threads::Threads)
  # One label: a list here would be split into further property names.
  set(label unit)
  if(ARG_THREADS)
    set(label threads)
  endif()
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    # Case names come from the tables; printing the raw case bytes only adds noise.
    NO_PRETTY_VALUES
    PROPERTIES LABELS ${label} ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
