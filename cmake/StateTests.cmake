# Windows tests of the installation state: detectInstallation, readScancodeMap,
# writeScancodeMap and the key assignments, under Wine in both prefixes.
kestrel_glob(KESTREL_STATE_TEST_SOURCES "${CMAKE_SOURCE_DIR}/tests/state/*.cpp")
kestrel_windows_test(NAME state_tests
  SOURCES ${KESTREL_STATE_TEST_SOURCES} $<TARGET_OBJECTS:kestrel_ui>
  LIBRARIES kestrel_app kestrel_payload_data kestrel_payload kestrel_setup_rules kestrel_text
            ${KESTREL_ZLIB} ${KESTREL_SYSTEM_LIBS}
  PREFIXES 32 64
  VERSIONS winxp winxp64 win7)
