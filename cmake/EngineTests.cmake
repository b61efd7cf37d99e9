# EngineTests: the Windows tests of the application's engine (what it does by
# string id through the system layer), with the real payload and a table of
# test texts, in both prefixes.
kestrel_glob(KESTREL_ENGINE_TEST_SOURCES "${CMAKE_SOURCE_DIR}/tests/engine/*.cpp")
kestrel_windows_test(NAME engine_tests
  SOURCES ${KESTREL_ENGINE_TEST_SOURCES}
          "${CMAKE_SOURCE_DIR}/tests/app/support/TableImage.cpp"
          "${CMAKE_SOURCE_DIR}/tests/setup/SystemTestSupport.cpp"
          "${CMAKE_SOURCE_DIR}/tests/state/StateTestSupport.cpp"
  LIBRARIES kestrel_app ${KESTREL_SYSTEM_LIBS}
  PREFIXES 32 64
  VERSIONS winxp winxp64 win7)
# The commands start the system tests' child program (cmake/SystemTests.cmake).
add_dependencies(engine_tests system_test_child)
target_compile_definitions(engine_tests PRIVATE
  KESTREL_SYSTEM_TEST_CHILD=L"$<TARGET_FILE_NAME:system_test_child>")
