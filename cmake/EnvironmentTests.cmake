# environment_tests: the environment checks and the program paths under Wine,
# with the real payload, in both prefixes and every emulated Windows version.
kestrel_glob(KESTREL_ENVIRONMENT_TEST_SOURCES "${CMAKE_SOURCE_DIR}/tests/environment/*.cpp")
if(KESTREL_ENVIRONMENT_TEST_SOURCES)
  kestrel_windows_test(NAME environment_tests
    SOURCES ${KESTREL_ENVIRONMENT_TEST_SOURCES}
            "${CMAKE_SOURCE_DIR}/tests/app/support/TableImage.cpp"
            $<TARGET_OBJECTS:kestrel_pending_wizard>
    LIBRARIES kestrel_app kestrel_payload_data kestrel_payload kestrel_setup_rules kestrel_text
              ${KESTREL_ZLIB} ${KESTREL_SYSTEM_LIBS})
endif()
