# ScenarioTests: the engine driver (tests/scenario/EngineDriver.cpp), a Windows
# program that runs the install engine as setup.exe's phases would, without the
# wizard, for the scenario tests over the Windows matrix and the benchmark. It
# is built here and is never part of setup.exe. It carries setup.exe's resources
# for its wizard-without-rights, the GUI tests' seam for a user without the right.
add_executable(engine_driver "${CMAKE_SOURCE_DIR}/tests/scenario/EngineDriver.cpp"
  "${CMAKE_SOURCE_DIR}/tests/scenario/ChangeFaults.cpp"
  $<TARGET_OBJECTS:kestrel_resources>)
kestrel_test_options(engine_driver)
target_link_options(engine_driver PRIVATE -municode)
target_link_libraries(engine_driver PRIVATE kestrel_app ${KESTREL_SYSTEM_LIBS})

# The scenario tests: tests/scenario/run_scenario.py runs the driver's steps in a
# throwaway overlay copy of a provisioned prefix, restarting Wine after each step,
# and checks the registry, the files and the input-language scripts after every one.
# control_capture.exe stands in for control.exe there; scenario_check.exe (built in
# both mingw trees, CMakeLists.txt) checks the layout libraries and the shortcuts.
add_executable(control_capture WIN32 "${CMAKE_SOURCE_DIR}/tests/scenario/ControlCapture.c")
kestrel_test_options(control_capture)
target_link_options(control_capture PRIVATE -municode)

if(KESTREL_WINE_MISSING)
  kestrel_skipped_test(scenario "${KESTREL_WINE_MISSING}")
  return()
endif()
if(NOT KESTREL_WIN64_TREE)
  kestrel_skipped_test(scenario "KESTREL_WIN64_TREE is not set; the scenarios install the x64 images too")
  return()
endif()
set(_scenario_run "${Python3_EXECUTABLE}" "${CMAKE_SOURCE_DIR}/tests/scenario/run_scenario.py")
set(_scenario_trees --tree "${CMAKE_BINARY_DIR}" --tree64 "${KESTREL_WIN64_TREE}"
    --layout-tool "${KESTREL_HOST_TOOLS}/kestrel-layout")
# The engine tree's driver is a 64-bit program: the 64-bit entries only, with the
# documents of the tree whose payload it carries.
set(_scenario_prefixes 32 64)
if(KESTREL_ENGINE_TREE)
  set(_scenario_prefixes 64)
  list(APPEND _scenario_trees --documents "${KESTREL_PAYLOAD_TREE}/documents")
endif()
foreach(bits IN LISTS _scenario_prefixes)
  add_test(NAME scenario.provision.${bits} COMMAND ${_scenario_run} provision --bits ${bits} ${_scenario_trees})
  set_tests_properties(scenario.provision.${bits} PROPERTIES FIXTURES_SETUP kestrel_scenario${bits} TIMEOUT 300)
endforeach()

# kestrel_scenario(NAME BITS VERSION): one test scenario.NAME.BITS.VERSION.
function(kestrel_scenario name bits version)
  if(NOT bits IN_LIST _scenario_prefixes)
    return()
  endif()
  add_test(NAME scenario.${name}.${bits}.${version}
    COMMAND ${_scenario_run} run ${name} --bits ${bits} --version ${version} ${_scenario_trees})
  set_tests_properties(scenario.${name}.${bits}.${version} PROPERTIES
    FIXTURES_REQUIRED kestrel_scenario${bits} TIMEOUT 600)
endfunction()

# The life of an installation on every entry of the Windows matrix.
foreach(bits IN LISTS _scenario_prefixes)
  foreach(version IN LISTS KESTREL_MATRIX_${bits})
    kestrel_scenario(matrix ${bits} ${version})
  endforeach()
endforeach()
# The same life made through setup.exe's wizard by gui_driver.exe, on every entry:
# one at a time and never beside the GUI tests or ui_tests (they share the display).
# (setup.exe is a 32-bit program: the engine tree has none.)
if(NOT KESTREL_ENGINE_TREE)
  foreach(bits 32 64)
    foreach(version IN LISTS KESTREL_MATRIX_${bits})
      kestrel_scenario(wizard ${bits} ${version})
      set_tests_properties(scenario.wizard.${bits}.${version} PROPERTIES RESOURCE_LOCK kestrel_wizard_frame)
    endforeach()
  endforeach()
  kestrel_scenario(wizard-fails 64 win7)
  kestrel_scenario(wizard-refused 32 winxp)
  set_tests_properties(scenario.wizard-fails.64.win7 scenario.wizard-refused.32.winxp PROPERTIES
    RESOURCE_LOCK kestrel_wizard_frame)
endif()
# The other scenarios on a spread of it: both prefixes, before and after Vista.
kestrel_scenario(older 32 winxp)
kestrel_scenario(shared 64 win7)
kestrel_scenario(from-copy 64 winxp64)
kestrel_scenario(failures 32 vista)

# The damage campaign (tests/scenario/run_damage.py): the earlier installation's
# record, the layout entry, the scan-code map and the per-user key, damaged one way
# at a time, each state through detection then install and detection then removal
# in one Wine session per test. The states are dealt out by index modulo 12:
# seven twelfths on the cheap 32-bit Windows XP entry (two tests, so that ctest -j
# shares them out), a twelfth each on 64-bit Windows 7 and 32-bit Vista (each run
# there also starts the system command for the input-language script). Shares 7,
# 8 and 9 (about a quarter of the states) stay out of the test command to keep it
# short; every state runs with --share 0/1 (README, Numbers).
# kestrel_campaign(KIND SCRIPT "BITS.VERSION[.PART] SHARE [OPTION...]"...): one test
# scenario.KIND.BITS.VERSION[.PART] per part whose prefix this tree runs, with the
# part's further options passed on to the script.
function(kestrel_campaign kind script)
  foreach(part IN LISTS ARGN)
    separate_arguments(part)
    list(GET part 0 name)
    list(GET part 1 share)
    set(options ${part})
    list(REMOVE_AT options 0 1)
    string(REPLACE "." ";" fields ${name})
    list(GET fields 0 bits)
    list(GET fields 1 version)
    if(NOT bits IN_LIST _scenario_prefixes)
      continue()
    endif()
    add_test(NAME scenario.${kind}.${name}
      COMMAND "${Python3_EXECUTABLE}" "${CMAKE_SOURCE_DIR}/tests/scenario/${script}" --bits ${bits}
              --version ${version} --share ${share} ${options} ${_scenario_trees})
    set_tests_properties(scenario.${kind}.${name} PROPERTIES
      FIXTURES_REQUIRED kestrel_scenario${bits} TIMEOUT 1800)
  endforeach()
endfunction()
kestrel_campaign(damage run_damage.py "32.winxp.a 0,1,2,3/12" "32.winxp.b 4,5,6/12"
  "64.win7 10/12" "32.vista 11/12")

# The interruption campaign (tests/scenario/run_interrupt.py): every sequence ended at
# the points whose number modulo 8 is 0 or 4 (a quarter of them), in two tests on 64-bit
# Windows 7 and, where 32-bit programs run, the first share on 32-bit XP too; of the
# first share, every other point cuts the recovering run as well. Where Wine's 32-bit
# loader cannot start, the engine tree stands in for 32-bit XP with a sixteenth of its
# points: the sequences a 32-bit XP takes (the x86 library alone) in the 64-bit prefix,
# the engine told the machine is x86. The rest by hand (README, Numbers).
set(_interrupt_as_x86)
if(KESTREL_ENGINE_TREE)
  execute_process(COMMAND /usr/lib/wine/wine --version RESULT_VARIABLE _wine32_result
                  OUTPUT_QUIET ERROR_QUIET)
  if(NOT _wine32_result EQUAL 0)
    set(_interrupt_as_x86 "64.winxp.x86 8/16 --as-x86 --nested 8/32")
  endif()
endif()
kestrel_campaign(interrupt run_interrupt.py "64.win7.a 0/8 --nested 0/16" "64.win7.b 4/8"
  ${_interrupt_as_x86} "32.winxp.a 0/8 --nested 0/16")

# The benchmark, run briefly as a smoke test (its numbers are read, never asserted):
#   tests/scenario/run_scenario.py bench --bits 32 --version win7 --runs 9 --tree build/win32 --tree64 build/win64
if(NOT KESTREL_ENGINE_TREE)
  add_test(NAME scenario.bench.32.win7
    COMMAND ${_scenario_run} bench --bits 32 --version win7 --runs 3 ${_scenario_trees})
  set_tests_properties(scenario.bench.32.win7 PROPERTIES FIXTURES_REQUIRED kestrel_scenario32 TIMEOUT 300)
endif()
