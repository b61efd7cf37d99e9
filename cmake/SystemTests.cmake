# SystemTests: the Windows tests of the system layer (registry, files, script
# files, the own image, shell links, libraries, processes), linked with that
# layer alone and run in both prefixes (uuid: the shell's interface ids the
# link test loads its links back with).
kestrel_glob(KESTREL_SYSTEM_TEST_SOURCES "${CMAKE_SOURCE_DIR}/tests/setup/*.cpp")
kestrel_windows_test(NAME system_tests
  SOURCES ${KESTREL_SYSTEM_TEST_SOURCES}
  LIBRARIES kestrel_system kestrel_setup_rules kestrel_text ${KESTREL_SYSTEM_LIBS} uuid
  PREFIXES 32 64
  VERSIONS winxp winxp64 win7)
# A child program the process tests start: it writes a marker file and then
# stays alive for the time it is told.
add_executable(system_test_child "${CMAKE_SOURCE_DIR}/tests/setup/child/MarkerChild.cpp")
kestrel_test_options(system_test_child)
target_link_options(system_test_child PRIVATE -municode)
target_link_libraries(system_test_child PRIVATE kernel32)
# The own-image tests start a copier that checks and copies its own file, once
# as built and once signed with a throwaway certificate.
add_executable(own_image_copier "${CMAKE_SOURCE_DIR}/tests/setup/child/OwnImageCopier.cpp")
kestrel_test_options(own_image_copier)
target_link_options(own_image_copier PRIVATE -municode)
target_link_libraries(own_image_copier PRIVATE kestrel_system kestrel_text)
set(_signed_copier "${CMAKE_BINARY_DIR}/own_image_copier-signed.exe")
add_custom_command(OUTPUT "${_signed_copier}"
  COMMAND "${CMAKE_SOURCE_DIR}/tests/signing/sign_test_copy.sh" $<TARGET_FILE:own_image_copier>
    "${_signed_copier}"
  DEPENDS own_image_copier "${CMAKE_SOURCE_DIR}/tests/signing/sign_test_copy.sh"
    "${CMAKE_SOURCE_DIR}/scripts/sign.sh"
  COMMENT "Signing a copy of own_image_copier.exe with a throwaway certificate" VERBATIM)
add_custom_target(own_image_copier_signed DEPENDS "${_signed_copier}")
add_dependencies(system_tests system_test_child own_image_copier_signed)
target_compile_definitions(system_tests PRIVATE
  KESTREL_SYSTEM_TEST_CHILD=L"$<TARGET_FILE_NAME:system_test_child>"
  KESTREL_OWN_IMAGE_COPIER=L"$<TARGET_FILE_NAME:own_image_copier>"
  KESTREL_SIGNED_OWN_IMAGE_COPIER=L"own_image_copier-signed.exe")
