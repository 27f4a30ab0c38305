# helm_library(NAME DIR [DEPS ...]): one static library from every .cpp in DIR.
function(helm_library name dir)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# helm_tests(NAME DIR [DEPS ...]): one GoogleTest program from every .cpp in DIR, each case
# registered with ctest.
function(helm_tests name dir)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    add_executable(${name} ${sources})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                         PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# helm_bench(NAME SOURCE [DEPS ...])
function(helm_bench name source)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# helm_fuzz(NAME SOURCE [DEPS ...]): a libFuzzer target; ctest runs it over fuzz/corpus/NAME,
# bounded in runs and in time (targets that start the program's services run slowly).
function(helm_fuzz name source)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    add_executable(${name} ${source})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    set(corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    # libFuzzer adds new inputs to the first folder it is given: keep those in the build tree so
    # a run never writes into the checked-in seeds.
    set(found ${CMAKE_CURRENT_BINARY_DIR}/corpus/${name})
    file(MAKE_DIRECTORY ${found})
    add_test(NAME fuzz.${name}
             COMMAND ${name} -runs=20000 -max_total_time=30 -max_len=4096 ${found} ${corpus})
endfunction()
