# HardeningTests: the protections of the elevated installer that hold for a
# whole process (the library search), each in a test program of its own.
kestrel_glob(KESTREL_HARDENING_TEST_SOURCES "${CMAKE_SOURCE_DIR}/tests/hardening/*.cpp")
kestrel_windows_test(NAME dll_search_tests
  SOURCES ${KESTREL_HARDENING_TEST_SOURCES}
  LIBRARIES kestrel_system kestrel_text ${KESTREL_SYSTEM_LIBS}
  PREFIXES 32 64
  VERSIONS winxp winxp64 win7)

# The path of the systems without SetDefaultDllDirectories, with a library planted
# beside the program under a system library's name. In a folder of its own, so the
# planted file is beside no other test program, and one run at a time, since every
# run plants the same name there.
kestrel_glob(KESTREL_PRELOAD_TEST_SOURCES "${CMAKE_SOURCE_DIR}/tests/hardening/preload/*.cpp")
set(_preload_dir "${CMAKE_BINARY_DIR}/hardening-preload")
set(_preload_versions win2k winxp vista win7 winxp64)
kestrel_windows_test(NAME dll_preload_tests
  SOURCES ${KESTREL_PRELOAD_TEST_SOURCES}
  LIBRARIES kestrel_system kestrel_text ${KESTREL_SYSTEM_LIBS}
  PREFIXES 32 64
  VERSIONS ${_preload_versions})
add_library(planted-marker SHARED "${CMAKE_SOURCE_DIR}/tests/hardening/planted/PlantedLibrary.c")
set_target_properties(planted-marker PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY "${_preload_dir}")
set_target_properties(dll_preload_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${_preload_dir}")
add_dependencies(dll_preload_tests planted-marker)
target_compile_definitions(dll_preload_tests PRIVATE
  KESTREL_PLANTED_MARKER=L"$<TARGET_FILE_NAME:planted-marker>")
foreach(bits 32 64)
  foreach(version IN LISTS _preload_versions)
    if(TEST dll_preload_tests.${bits}.${version})
      set_tests_properties(dll_preload_tests.${bits}.${version} PROPERTIES
        RESOURCE_LOCK kestrel_preload_folder)
    endif()
  endforeach()
endforeach()
