# KestrelLayout: the keyboard layout. The host build makes the layout tool
# (kestrel-layout); each mingw build makes the three variants' layout libraries
# from layout/*.layout and their tests, and fills KESTREL_LAYOUT_PAYLOAD_ARGS/DEPENDS
# (the win32 build: its own x86 images and the x64 images of KESTREL_WIN64_TREE).
include_guard(GLOBAL)

# Variant index -> definition stem; the image of a variant is kbdkestr-<stem>.dll.
set(KESTREL_LAYOUT_VARIANTS standard accents typographic)
set(KESTREL_LAYOUT_DIR "${CMAKE_SOURCE_DIR}/layout")
set(KESTREL_LAYOUT_DEFINITIONS)
foreach(stem IN LISTS KESTREL_LAYOUT_VARIANTS)
  list(APPEND KESTREL_LAYOUT_DEFINITIONS "${KESTREL_LAYOUT_DIR}/${stem}.layout")
endforeach()
set(KESTREL_LAYOUT_PAYLOAD_ARGS)
set(KESTREL_LAYOUT_PAYLOAD_DEPENDS)

if(NOT KESTREL_MINGW)
  kestrel_glob(KESTREL_LAYOUT_TOOL_SOURCES "${CMAKE_SOURCE_DIR}/tools/layout/*.cpp")
  list(FILTER KESTREL_LAYOUT_TOOL_SOURCES EXCLUDE REGEX "/Main\\.cpp$")
  add_library(kestrel_layout_tool_lib STATIC ${KESTREL_LAYOUT_TOOL_SOURCES})
  target_link_libraries(kestrel_layout_tool_lib PUBLIC kestrel_payload_tool_lib)
  target_compile_options(kestrel_layout_tool_lib PRIVATE -Wall -Wextra -Werror)
  add_executable(kestrel-layout "${CMAKE_SOURCE_DIR}/tools/layout/Main.cpp")
  target_link_libraries(kestrel-layout PRIVATE kestrel_layout_tool_lib)
  target_compile_options(kestrel-layout PRIVATE -Wall -Wextra -Werror)

  # The tool's tests: parsing, tables, patterns, and the definitions against the
  # setup program's static key table and the checked-in pattern texts.
  kestrel_glob(KESTREL_LAYOUT_TOOL_TEST_SOURCES "${CMAKE_SOURCE_DIR}/tests/layout/host/*.cpp")
  if(KESTREL_LAYOUT_TOOL_TEST_SOURCES AND NOT KESTREL_LIBFUZZER)
    _kestrel_test_program(layout_tool_tests
      "${KESTREL_LAYOUT_TOOL_TEST_SOURCES};${CMAKE_SOURCE_DIR}/app/StaticKeyTable.cpp;${CMAKE_SOURCE_DIR}/setup/rules/KeyRow.cpp"
      "kestrel_layout_tool_lib")
    target_compile_definitions(layout_tool_tests PRIVATE
      KESTREL_LAYOUT_DIR="${KESTREL_LAYOUT_DIR}"
      KESTREL_CONTENT_DIR="${KESTREL_CONTENT_DIR}")
    add_test(NAME layout_tool_tests COMMAND layout_tool_tests)
  endif()
  return()
endif()

set(KESTREL_LAYOUT_TOOL "${KESTREL_HOST_TOOLS}/kestrel-layout")
enable_language(RC)
set(_layout_out "${CMAKE_BINARY_DIR}/layout")
set(_layout_gen "${CMAKE_BINARY_DIR}/generated/layout")
file(MAKE_DIRECTORY "${_layout_out}" "${_layout_gen}")
file(CONFIGURE OUTPUT "${_layout_gen}/layout_version.h" CONTENT [[
#define KESTREL_VERSION_MAJOR @PROJECT_VERSION_MAJOR@
#define KESTREL_VERSION_MINOR @PROJECT_VERSION_MINOR@
#define KESTREL_VERSION_PATCH @PROJECT_VERSION_PATCH@
#define KESTREL_VERSION_TEXT "@PROJECT_VERSION@"
]] @ONLY)
if(KESTREL_WINE_BITS EQUAL 32)
  set(_layout_entry "_KbdDllEntry@12")  # stdcall decoration of the 32-bit entry point
else()
  set(_layout_entry "KbdDllEntry")
endif()

# kestrel_layout_image(<target> <variant index> <stem>): one layout library.
# No runtime at all (-nostdlib): the library is constant tables and two tiny
# functions, so it imports nothing; no time stamp and stripped, so it is reproducible.
function(kestrel_layout_image target variant stem)
  set(source "${_layout_gen}/kbdkestr-${stem}.c")
  if(NOT TARGET kestrel_layout_source_${stem})
    add_custom_command(OUTPUT "${source}"
      COMMAND "${KESTREL_LAYOUT_TOOL}" c "${KESTREL_LAYOUT_DIR}/${stem}.layout" "${source}"
      DEPENDS "${KESTREL_LAYOUT_TOOL}" "${KESTREL_LAYOUT_DIR}/${stem}.layout"
      COMMENT "Generating the ${stem} layout tables" VERBATIM)
    add_custom_target(kestrel_layout_source_${stem} DEPENDS "${source}")
  endif()
  add_library(${target} SHARED "${source}" "${KESTREL_LAYOUT_DIR}/kbdkestr.rc" "${KESTREL_LAYOUT_DIR}/kbdkestr.def")
  add_dependencies(${target} kestrel_layout_source_${stem})
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME "${target}"
    RUNTIME_OUTPUT_DIRECTORY "${_layout_out}" ARCHIVE_OUTPUT_DIRECTORY "${_layout_gen}")
  target_include_directories(${target} PRIVATE "${_layout_gen}")
  target_compile_definitions(${target} PRIVATE KESTREL_LAYOUT_VARIANT=${variant})
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra -Werror>)
  # A fixed image base: without it ld derives one from the output file name.
  target_link_options(${target} PRIVATE -nostdlib -s "-Wl,--entry,${_layout_entry}"
    -Wl,--disable-auto-image-base)
endfunction()

set(_layout_images)
set(_layout_check_args)
set(variant 0)
foreach(stem IN LISTS KESTREL_LAYOUT_VARIANTS)
  kestrel_layout_image(kbdkestr-${stem} ${variant} ${stem})
  set(image "${_layout_out}/kbdkestr-${stem}.dll")
  list(APPEND _layout_images kbdkestr-${stem})
  list(APPEND _layout_check_args --image ${variant} "${image}")
  # Imports nothing, exports only the descriptor, carries its version resource.
  add_test(NAME layout.image.${stem}
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DIMAGE=${image}
            -P "${CMAKE_SOURCE_DIR}/cmake/CheckLayoutImage.cmake")
  # Its imports and subsystem version against the oldest system of its architecture.
  add_test(NAME layout.imports.${stem}
    COMMAND "${CMAKE_SOURCE_DIR}/scripts/check-pe.sh" "${CMAKE_OBJDUMP}" "${image}")
  math(EXPR variant "${variant} + 1")
endforeach()

# The same definition linked twice gives the same bytes.
kestrel_layout_image(kbdkestr-standard-again 0 standard)
add_test(NAME layout.reproducible
  COMMAND ${CMAKE_COMMAND} -E compare_files
          "${_layout_out}/kbdkestr-standard.dll" "${_layout_out}/kbdkestr-standard-again.dll")

# Texts 144-149 as the payload carries them: once each, at their table, in every image.
add_test(NAME layout.patterns
  COMMAND "${KESTREL_LAYOUT_TOOL}" check-patterns "${KESTREL_CONTENT_DIR}/strings/supplementary.txt"
          ${KESTREL_LAYOUT_DEFINITIONS} ${_layout_check_args})

# The images loaded under Wine and walked table by table.
add_custom_command(OUTPUT "${_layout_gen}/LayoutExpectations.h"
  COMMAND "${KESTREL_LAYOUT_TOOL}" expect "${_layout_gen}/LayoutExpectations.h" ${KESTREL_LAYOUT_DEFINITIONS}
  DEPENDS "${KESTREL_LAYOUT_TOOL}" ${KESTREL_LAYOUT_DEFINITIONS}
  COMMENT "Generating the layout expectations" VERBATIM)
set(_layout_test_source "${CMAKE_SOURCE_DIR}/tests/layout/LayoutImageTest.cpp")
if(EXISTS "${_layout_test_source}")
  kestrel_portable_test(NAME layout_image_tests SOURCES "${_layout_test_source}" "${_layout_gen}/LayoutExpectations.h")
  target_include_directories(layout_image_tests PRIVATE "${_layout_gen}")
  add_dependencies(layout_image_tests ${_layout_images})
endif()

# The payload's image table: x86 images in the 32-bit slots, x64 images (from the
# win64 build) in the 64-bit ones. Slots 3, 6 and 9 (IA-64) stay empty.
if(KESTREL_WINE_BITS EQUAL 32)
  set(KESTREL_WIN64_TREE "" CACHE PATH "The x86_64 mingw build whose layout images fill the 64-bit slots")
  set(variant 0)
  foreach(stem IN LISTS KESTREL_LAYOUT_VARIANTS)
    foreach(slot 0 1 2 5 8 11)
      list(APPEND KESTREL_LAYOUT_PAYLOAD_ARGS --layout ${variant} ${slot} "${_layout_out}/kbdkestr-${stem}.dll")
    endforeach()
    list(APPEND KESTREL_LAYOUT_PAYLOAD_DEPENDS kbdkestr-${stem} "${_layout_out}/kbdkestr-${stem}.dll")
    if(KESTREL_WIN64_TREE)
      foreach(slot 4 7 10 12)
        list(APPEND KESTREL_LAYOUT_PAYLOAD_ARGS --layout ${variant} ${slot} "${KESTREL_WIN64_TREE}/layout/kbdkestr-${stem}.dll")
      endforeach()
      list(APPEND KESTREL_LAYOUT_PAYLOAD_DEPENDS "${KESTREL_WIN64_TREE}/layout/kbdkestr-${stem}.dll")
    endif()
    math(EXPR variant "${variant} + 1")
  endforeach()
  if(KESTREL_WIN64_TREE)
    add_test(NAME layout.patterns.x64
      COMMAND "${KESTREL_LAYOUT_TOOL}" check-patterns "${KESTREL_CONTENT_DIR}/strings/supplementary.txt"
              ${KESTREL_LAYOUT_DEFINITIONS}
              --image 0 "${KESTREL_WIN64_TREE}/layout/kbdkestr-standard.dll"
              --image 1 "${KESTREL_WIN64_TREE}/layout/kbdkestr-accents.dll"
              --image 2 "${KESTREL_WIN64_TREE}/layout/kbdkestr-typographic.dll")
  else()
    message(WARNING "Kestrel: KESTREL_WIN64_TREE is not set; the payload's x64 layout slots stay empty")
  endif()
endif()
