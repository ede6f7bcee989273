# Shared build helpers: warning flags, libraries, static Windows linking and
# native test suites.

# Every target of ours gets the same warnings.
function(kl_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  # GCC 12 reports -Wrestrict for "literal" + std::string at -O2 and above
  # and -Wuse-after-free inside std::vector's inlined reallocation at -O3;
  # both are false positives in libstdc++'s own code, so they are off there.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict -Wno-use-after-free)
  endif()
  if(KL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A portable static library; SOURCES relative to the calling folder.
function(kl_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  kl_warnings(${name})
endfunction()

# Windows executables link the C and C++ runtimes statically so that they
# run on a bare Windows without extra DLLs.
function(kl_windows_static target)
  if(KL_WINDOWS)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

# A native GoogleTest suite labelled "unit".
function(kl_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests/unit)
  kl_warnings(${name})
  gtest_discover_tests(${name} PROPERTIES LABELS unit DISCOVERY_MODE PRE_TEST)
endfunction()
