# Windows tests of the installation state: detectInstallation, readScancodeMap,
# writeScancodeMap and the key assignments, under Wine in both prefixes.
kestrel_glob(KESTREL_STATE_TEST_SOURCES "${CMAKE_SOURCE_DIR}/tests/state/*.cpp")
kestrel_windows_test(NAME state_tests
  SOURCES ${KESTREL_STATE_TEST_SOURCES}
  LIBRARIES kestrel_app ${KESTREL_SYSTEM_LIBS}
  PREFIXES 32 64
  VERSIONS winxp winxp64 win7)
