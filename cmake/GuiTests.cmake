# GuiTests: the real setup.exe driven through its wizard by gui_driver.exe
# (tests/gui), which finds the frame by its class (string 94 of the payload it
# carries), presses buttons, chooses list items, answers message boxes and
# reads every text back. tests/gui/run_gui.py runs its scenarios in a
# throwaway overlay copy of the scenario tests' provisioned prefix, so the
# wizard's windows meet no other test's and nothing stays behind.
add_executable(gui_driver "${CMAKE_SOURCE_DIR}/tests/gui/GuiDriver.cpp"
  "${CMAKE_SOURCE_DIR}/tests/gui/PayloadTexts.cpp" "${CMAKE_SOURCE_DIR}/tests/gui/WizardProbe.cpp"
  "${CMAKE_SOURCE_DIR}/tests/gui/StartupBench.cpp" "${CMAKE_SOURCE_DIR}/tests/gui/WizardWalk.cpp")
kestrel_test_options(gui_driver)
target_link_options(gui_driver PRIVATE -municode)
target_link_libraries(gui_driver PRIVATE kestrel_payload_data kestrel_payload kestrel_text
  ${KESTREL_ZLIB} kernel32 user32)

# A CBT hook library that refuses the frame's window, for the scenario in which
# the frame cannot be created; and the benchmark's floor, a bare window program.
add_library(refuse_frame_hook SHARED "${CMAKE_SOURCE_DIR}/tests/gui/RefuseFrameHook.c")
set_target_properties(refuse_frame_hook PROPERTIES PREFIX "")
kestrel_test_options(refuse_frame_hook)
# The hook procedure is looked up by its plain name, without the stdcall suffix.
target_link_options(refuse_frame_hook PRIVATE -Wl,--kill-at)
target_link_libraries(refuse_frame_hook PRIVATE kernel32 user32)
add_executable(bare_window WIN32 "${CMAKE_SOURCE_DIR}/tests/gui/BareWindow.c")
kestrel_test_options(bare_window)
target_link_options(bare_window PRIVATE -municode)
target_link_libraries(bare_window PRIVATE kernel32 user32)

# The tests run in copies of the scenario tests' provisioned prefix, which
# cmake/ScenarioTests.cmake makes only with the win64 tree.
if(KESTREL_WINE_MISSING)
  kestrel_skipped_test(gui.wizard "${KESTREL_WINE_MISSING}")
  return()
endif()
if(NOT KESTREL_WIN64_TREE)
  kestrel_skipped_test(gui.wizard "KESTREL_WIN64_TREE is not set; the GUI tests need the scenario prefixes")
  return()
endif()

# One test per entry: every scenario on Windows XP (32-bit), 7 and 10 (64-bit).
# One at a time, and never beside ui_tests: all wizards share the display, whose
# input focus decides which Wine session's window is in front.
set(_gui_run "${Python3_EXECUTABLE}" "${CMAKE_SOURCE_DIR}/tests/gui/run_gui.py")
foreach(entry 32.winxp 64.win7 64.win10)
  string(REPLACE "." ";" parts ${entry})
  list(GET parts 0 bits)
  list(GET parts 1 version)
  add_test(NAME gui.wizard.${entry}
    COMMAND ${_gui_run} run --bits ${bits} --version ${version} --tree "${CMAKE_BINARY_DIR}")
  set_tests_properties(gui.wizard.${entry} PROPERTIES FIXTURES_REQUIRED kestrel_scenario${bits}
    RESOURCE_LOCK kestrel_wizard_frame TIMEOUT 300)
endforeach()

# The start-up benchmark (scripts/startup-bench.sh), one round as a smoke test: its
# numbers are read, never asserted.
add_test(NAME gui.bench.32.winxp
  COMMAND ${_gui_run} bench --bits 32 --version winxp --runs 1 --tree "${CMAKE_BINARY_DIR}")
set_tests_properties(gui.bench.32.winxp PROPERTIES FIXTURES_REQUIRED kestrel_scenario32
  RESOURCE_LOCK kestrel_wizard_frame TIMEOUT 300)
