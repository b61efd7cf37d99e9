# ScenarioTests: the engine driver (tests/scenario/EngineDriver.cpp), a Windows
# program that runs the install engine as setup.exe's phases would, without the
# wizard, for the scenario tests over the Windows matrix and the benchmark. It
# is built here and is never part of setup.exe.
add_executable(engine_driver "${CMAKE_SOURCE_DIR}/tests/scenario/EngineDriver.cpp"
  $<TARGET_OBJECTS:kestrel_pending_wizard>)
kestrel_test_options(engine_driver)
target_link_options(engine_driver PRIVATE -municode)
target_link_libraries(engine_driver PRIVATE kestrel_app kestrel_payload_data kestrel_payload
  kestrel_system kestrel_setup_rules kestrel_text ${KESTREL_ZLIB} ${KESTREL_SYSTEM_LIBS})
