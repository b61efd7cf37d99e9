# SystemTests: the Windows tests of the system layer (registry, files, script
# files, the own image, shell links, libraries, processes), linked with that
# layer alone and run in both prefixes (uuid: the shell's interface ids the
# link test loads its links back with).
kestrel_glob(KESTREL_SYSTEM_TEST_SOURCES "${CMAKE_SOURCE_DIR}/tests/system/*.cpp")
kestrel_windows_test(NAME system_tests
  SOURCES ${KESTREL_SYSTEM_TEST_SOURCES}
  LIBRARIES kestrel_system kestrel_setup_rules kestrel_text ${KESTREL_SYSTEM_LIBS} uuid
  PREFIXES 32 64
  VERSIONS winxp winxp64 win7)
# A child program the process tests start: it writes a marker file and then
# stays alive for the time it is told.
add_executable(system_test_child "${CMAKE_SOURCE_DIR}/tests/system/child/MarkerChild.cpp")
kestrel_test_options(system_test_child)
target_link_options(system_test_child PRIVATE -municode)
target_link_libraries(system_test_child PRIVATE kernel32)
add_dependencies(system_tests system_test_child)
target_compile_definitions(system_tests PRIVATE
  KESTREL_SYSTEM_TEST_CHILD=L"$<TARGET_FILE_NAME:system_test_child>")
