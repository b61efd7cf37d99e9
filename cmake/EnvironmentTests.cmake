# environment_tests: the environment checks and the program paths under Wine,
# with the real payload, in both prefixes and every emulated Windows version.
kestrel_glob(KESTREL_ENVIRONMENT_TEST_SOURCES "${CMAKE_SOURCE_DIR}/tests/environment/*.cpp")
kestrel_windows_test(NAME environment_tests
  SOURCES ${KESTREL_ENVIRONMENT_TEST_SOURCES}
          "${CMAKE_SOURCE_DIR}/tests/app/support/TableImage.cpp"
          "${CMAKE_SOURCE_DIR}/tests/setup/SystemTestSupport.cpp"
  LIBRARIES kestrel_app ${KESTREL_SYSTEM_LIBS})
# The single-instance checks look for a window of the wizard frame's class: no
# test that shows the wizard may run beside them.
# (The wizard tests run in the prefix of the tree's own programs.)
foreach(version IN LISTS KESTREL_MATRIX_${KESTREL_WINE_BITS})
  if(TEST environment_tests.${KESTREL_WINE_BITS}.${version})
    set_tests_properties(environment_tests.${KESTREL_WINE_BITS}.${version} PROPERTIES
      RESOURCE_LOCK kestrel_wizard_frame)
  endif()
endforeach()

# Stand-ins for advapi32's shutdown calls that record the request instead of
# restarting: one with both calls (XP on), one without the call with a reason (2000).
foreach(system xp 2000)
  add_library(shutdown-standin-${system} SHARED
    "${CMAKE_SOURCE_DIR}/tests/environment/standin/ShutdownStandIn.c")
  set_target_properties(shutdown-standin-${system} PROPERTIES PREFIX "")
  # Undecorated names, as advapi32 exports them.
  target_link_options(shutdown-standin-${system} PRIVATE -Wl,--kill-at)
  add_dependencies(environment_tests shutdown-standin-${system})
endforeach()
target_compile_definitions(shutdown-standin-2000 PRIVATE KESTREL_STANDIN_WINDOWS_2000)
target_compile_definitions(environment_tests PRIVATE
  KESTREL_STANDIN_XP=L"$<TARGET_FILE_NAME:shutdown-standin-xp>"
  KESTREL_STANDIN_2000=L"$<TARGET_FILE_NAME:shutdown-standin-2000>")

# A different program with a window of the frame's class, for the single-instance test.
add_executable(frame-standin "${CMAKE_SOURCE_DIR}/tests/environment/standin/FrameStandIn.c")
target_link_options(frame-standin PRIVATE -municode)
target_link_libraries(frame-standin PRIVATE kernel32 user32)
add_dependencies(environment_tests frame-standin)
target_compile_definitions(environment_tests PRIVATE
  KESTREL_FRAME_STANDIN=L"$<TARGET_FILE_NAME:frame-standin>")
