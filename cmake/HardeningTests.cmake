# HardeningTests: the protections of the elevated installer that hold for a
# whole process (the library search), each in a test program of its own.
kestrel_glob(KESTREL_HARDENING_TEST_SOURCES "${CMAKE_SOURCE_DIR}/tests/hardening/*.cpp")
if(KESTREL_HARDENING_TEST_SOURCES)
  kestrel_windows_test(NAME dll_search_tests
    SOURCES ${KESTREL_HARDENING_TEST_SOURCES}
    LIBRARIES kestrel_app kestrel_text ${KESTREL_SYSTEM_LIBS}
    PREFIXES 32 64
    VERSIONS winxp winxp64 win7)
endif()
