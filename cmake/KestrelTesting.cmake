# KestrelTesting: helpers that build a GoogleTest program and register it with ctest,
# natively on the host and under Wine (scripts/wine-run.sh) in the mingw builds.
#
#   kestrel_portable_test(NAME <name> SOURCES <src...> [LIBRARIES <lib...>] [TIMEOUT <s>])
#       Host: a native test program, one ctest test <name>.
#       mingw: the same sources cross-compiled, one ctest test <name> run under Wine in
#       the prefix of the build's architecture (32 for i686) through
#       CMAKE_CROSSCOMPILING_EMULATOR, with the prefix's default Windows version.
#
#   kestrel_windows_test(NAME <name> SOURCES <src...> [LIBRARIES <lib...>]
#                        [PREFIXES 32 64] [VERSIONS <version...>] [TIMEOUT <s>])
#       mingw only (nothing on the host). One program, and one ctest test
#       <name>.<prefix>.<version> for every pair of the Windows matrix below whose
#       prefix is in PREFIXES (default: 32 64) and whose version is in VERSIONS
#       (default: all of the prefix's versions).
#
#   kestrel_wine_test(NAME <test> PREFIX 32|64 [VERSION <version>] [TIMEOUT <s>]
#                     COMMAND <program.exe or $<TARGET_FILE:..>> [args...])
#       One ctest test that runs any Windows program under Wine.
#
# Every Wine test's program sees, through the environment (Wine passes it on):
#   KESTREL_EXPECT_VERSION  version code GetVersionExW should report: 50 51 52 60 61 62
#   KESTREL_EXPECT_ARCH     GetNativeSystemInfo's wProcessorArchitecture: 0 (32) or 9 (64)
#   KESTREL_WINE_VERSION    the emulated version's Wine name (win2k, ..., win10)
# (the first and the last only when a version is chosen).
# A sources list that globs to nothing is an error: a test never silently vanishes.

include_guard(GLOBAL)

set(KESTREL_WINE_RUN "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh")

# Whether Wine runs this tree's programs on this machine: a kernel without 32-bit
# x86 support refuses Wine's 32-bit loader, which every program of the i686 tree
# needs, in either prefix; the x86_64 tree's programs then still run through the
# 64-bit loader (scripts/wine-loader.sh). Without it each test that runs a Windows
# program is registered as skipped, with the reason, and the configure step says so.
set(KESTREL_WINE_MISSING "")
if(KESTREL_MINGW)
  execute_process(COMMAND bash -c ". '${CMAKE_SOURCE_DIR}/scripts/wine-loader.sh' && kestrel_wine_loader ${KESTREL_WINE_BITS} && wine --version"
                  RESULT_VARIABLE _kestrel_wine_result
                  OUTPUT_QUIET ERROR_VARIABLE _kestrel_wine_error)
  if(NOT _kestrel_wine_result EQUAL 0)
    string(STRIP "${_kestrel_wine_error}" _kestrel_wine_error)
    set(KESTREL_WINE_MISSING
        "Wine does not start on this machine (wine --version: ${_kestrel_wine_result}, ${_kestrel_wine_error}), so no Windows program runs here")
    message(WARNING "Kestrel: ${KESTREL_WINE_MISSING}")
  endif()
endif()
set(KESTREL_TEST_TIMEOUT 300 CACHE STRING "Default timeout of one test, in seconds")

# The Windows matrix: the versions each prefix's test programs run as (Wine's
# per-program Version setting, made by scripts/wine-run.sh).
set(KESTREL_MATRIX_32 win2k winxp win2003 vista win7 win8)
set(KESTREL_MATRIX_64 winxp64 vista win7 win8 win10)

# Compile options of test programs: warnings on, errors in CI. Windows test
# programs are stripped as setup.exe is: the product takes its own image only
# when nothing but a certificate table follows the sections, and a test
# program that runs the product's code is that image.
function(kestrel_test_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(KESTREL_WERROR_TESTS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(KESTREL_MINGW)
    target_link_options(${target} PRIVATE -s)
  endif()
endfunction()

# Fixtures that keep one wineserver alive (`wineserver -p`) around all the Wine tests
# of a prefix, so that no Wine start waits for a lingering server, and stop it
# (`wineserver -k`) at the end. The setup also makes the prefix if it is missing.
function(_kestrel_wine_fixture bits)
  get_property(done GLOBAL PROPERTY _kestrel_wine_fixture_${bits})
  if(done)
    return()
  endif()
  set_property(GLOBAL PROPERTY _kestrel_wine_fixture_${bits} TRUE)
  add_test(NAME wine.prefix${bits}.start COMMAND ${KESTREL_WINE_RUN} --prefix ${bits} --server start)
  add_test(NAME wine.prefix${bits}.stop COMMAND ${KESTREL_WINE_RUN} --prefix ${bits} --server stop)
  set_tests_properties(wine.prefix${bits}.start PROPERTIES FIXTURES_SETUP kestrel_wine${bits} TIMEOUT 300)
  set_tests_properties(wine.prefix${bits}.stop PROPERTIES FIXTURES_CLEANUP kestrel_wine${bits} TIMEOUT 60)
endfunction()

function(kestrel_wine_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;PREFIX;VERSION;TIMEOUT" "COMMAND")
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT ${KESTREL_TEST_TIMEOUT})
  endif()
  set(version_args)
  if(arg_VERSION)
    set(version_args --version ${arg_VERSION})
  endif()
  if(KESTREL_WINE_MISSING)
    kestrel_skipped_test(${arg_NAME} "${KESTREL_WINE_MISSING}")
    return()
  endif()
  _kestrel_wine_fixture(${arg_PREFIX})
  # wine-run.sh's own timeout ends the Windows program a little before ctest would.
  math(EXPR inner_timeout "${arg_TIMEOUT} - 5")
  add_test(NAME ${arg_NAME}
    COMMAND ${KESTREL_WINE_RUN} --prefix ${arg_PREFIX} ${version_args} --timeout ${inner_timeout}
            -- ${arg_COMMAND})
  set_tests_properties(${arg_NAME} PROPERTIES
    FIXTURES_REQUIRED kestrel_wine${arg_PREFIX} TIMEOUT ${arg_TIMEOUT})
endfunction()

function(_kestrel_test_program name sources libraries)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${libraries} kestrel_gtest_main)
  kestrel_test_options(${name})
endfunction()

function(kestrel_portable_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;TIMEOUT" "SOURCES;LIBRARIES")
  if(NOT arg_SOURCES)
    message(FATAL_ERROR "Kestrel: ${arg_NAME} has no sources")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT ${KESTREL_TEST_TIMEOUT})
  endif()
  _kestrel_test_program(${arg_NAME} "${arg_SOURCES}" "${arg_LIBRARIES}")
  if(KESTREL_MINGW AND KESTREL_WINE_MISSING)
    kestrel_skipped_test(${arg_NAME} "${KESTREL_WINE_MISSING}")
  elseif(KESTREL_MINGW)
    _kestrel_wine_fixture(${KESTREL_WINE_BITS})
    # The target's CROSSCOMPILING_EMULATOR (wine-run.sh --prefix NN --) runs it.
    add_test(NAME ${arg_NAME} COMMAND ${arg_NAME})
    set_tests_properties(${arg_NAME} PROPERTIES
      FIXTURES_REQUIRED kestrel_wine${KESTREL_WINE_BITS} TIMEOUT ${arg_TIMEOUT})
  else()
    add_test(NAME ${arg_NAME} COMMAND ${arg_NAME})
    set_tests_properties(${arg_NAME} PROPERTIES TIMEOUT ${arg_TIMEOUT})
  endif()
endfunction()

function(kestrel_windows_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;TIMEOUT" "SOURCES;LIBRARIES;PREFIXES;VERSIONS")
  if(NOT KESTREL_MINGW)
    return()
  endif()
  if(NOT arg_SOURCES)
    message(FATAL_ERROR "Kestrel: ${arg_NAME} has no sources")
  endif()
  if(NOT arg_PREFIXES)
    set(arg_PREFIXES 32 64)
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT ${KESTREL_TEST_TIMEOUT})
  endif()
  _kestrel_test_program(${arg_NAME} "${arg_SOURCES}" "${arg_LIBRARIES}")
  foreach(bits IN LISTS arg_PREFIXES)
    if(NOT DEFINED KESTREL_MATRIX_${bits})
      message(FATAL_ERROR "kestrel_windows_test(${arg_NAME}): no prefix ${bits} (32 or 64)")
    endif()
    # An x86_64 program runs in the 64-bit prefix only.
    if(KESTREL_WINE_BITS EQUAL 64 AND NOT bits EQUAL 64)
      continue()
    endif()
    foreach(version IN LISTS KESTREL_MATRIX_${bits})
      if(arg_VERSIONS AND NOT version IN_LIST arg_VERSIONS)
        continue()
      endif()
      kestrel_wine_test(NAME ${arg_NAME}.${bits}.${version} PREFIX ${bits} VERSION ${version}
        TIMEOUT ${arg_TIMEOUT} COMMAND $<TARGET_FILE:${arg_NAME}>)
    endforeach()
  endforeach()
endfunction()
