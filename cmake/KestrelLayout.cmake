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
set(_layout_out "${CMAKE_BINARY_DIR}/layout")
set(_layout_gen "${CMAKE_BINARY_DIR}/generated/layout")
file(MAKE_DIRECTORY "${_layout_out}" "${_layout_gen}")
file(CONFIGURE OUTPUT "${_layout_gen}/layout_version.h" CONTENT [[
#define KESTREL_VERSION_MAJOR @PROJECT_VERSION_MAJOR@
#define KESTREL_VERSION_MINOR @PROJECT_VERSION_MINOR@
#define KESTREL_VERSION_PATCH @PROJECT_VERSION_PATCH@
#define KESTREL_VERSION_TEXT "@PROJECT_VERSION@"
]] @ONLY)

# The layout libraries are linked with lld-link, which merges sections by name as
# Microsoft's linker does: the system reads a layout file without running it and
# takes the tables, their texts, the descriptor's code and the export data from
# one section named .data (read and execute), so .rdata, .text and .bss (with the
# export data, which lld-link keeps in .rdata) go into it. GNU ld cannot merge the
# export data without losing its directory entry.
find_program(KESTREL_LLD_LINK NAMES lld-link lld-link-14)
if(NOT KESTREL_LLD_LINK)
  message(FATAL_ERROR "Kestrel: lld-link (Debian package lld) is needed to link the layout libraries; "
                      "scripts/install-deps.sh installs it")
endif()
if(KESTREL_WINE_BITS EQUAL 32)
  set(_layout_link_arch /machine:x86 /safeseh:no /subsystem:windows,5.00)
else()
  set(_layout_link_arch /machine:x64 /subsystem:windows,5.02)
endif()
set(_layout_compile -Os -std=c11 -Wall -Wextra -Werror -ffreestanding -fno-ident
    -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-stack-protector
    "-I${CMAKE_SOURCE_DIR}" "-I${_layout_gen}")

# kestrel_layout_image(<target> <variant index> <stem> [WOW64]): one layout library,
# layout/kbdkestr-<target>.dll. WOW64: the 32-bit library with the x64 field layout.
# No runtime at all: constant tables and one tiny function, no entry point, no
# imports; time stamp 0 and no debug data, so the same source gives the same bytes.
function(kestrel_layout_image target variant stem)
  set(source "${_layout_gen}/kbdkestr-${stem}.c")
  if(NOT TARGET kestrel_layout_source_${stem})
    add_custom_command(OUTPUT "${source}"
      COMMAND "${KESTREL_LAYOUT_TOOL}" c "${KESTREL_LAYOUT_DIR}/${stem}.layout" "${source}"
      DEPENDS "${KESTREL_LAYOUT_TOOL}" "${KESTREL_LAYOUT_DIR}/${stem}.layout"
      COMMENT "Generating the ${stem} layout tables" VERBATIM)
    add_custom_target(kestrel_layout_source_${stem} DEPENDS "${source}")
  endif()
  set(form)
  if(ARGV3 STREQUAL "WOW64")
    set(form -DKESTREL_LAYOUT_WOW64)
  endif()
  set(object "${_layout_gen}/${target}.o")
  set(resources "${_layout_gen}/${target}.res")
  set(image "${_layout_out}/${target}.dll")
  # lld-link names the export data's library after the output file: linked as
  # kbdkestr.dll in a folder of its own, then copied to its target name.
  set(linked "${_layout_gen}/${target}/kbdkestr.dll")
  add_custom_command(OUTPUT "${object}"
    COMMAND "${CMAKE_C_COMPILER}" ${_layout_compile} ${form} -c "${source}" -o "${object}"
    DEPENDS "${source}" "${KESTREL_LAYOUT_DIR}/KbdTables.h"
    COMMENT "Compiling ${target}" VERBATIM)
  add_custom_command(OUTPUT "${resources}"
    COMMAND "${CMAKE_RC_COMPILER}" -O res "-I${_layout_gen}" -DKESTREL_LAYOUT_VARIANT=${variant}
            -i "${KESTREL_LAYOUT_DIR}/kbdkestr.rc" -o "${resources}"
    DEPENDS "${KESTREL_LAYOUT_DIR}/kbdkestr.rc" "${_layout_gen}/layout_version.h"
    COMMENT "Compiling the resources of ${target}" VERBATIM)
  add_custom_command(OUTPUT "${image}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${_layout_gen}/${target}"
    COMMAND "${KESTREL_LLD_LINK}" /nologo /dll /noentry /nodefaultlib ${_layout_link_arch}
            "/implib:${_layout_gen}/${target}/kbdkestr.lib"
            "/def:${KESTREL_LAYOUT_DIR}/kbdkestr.def"
            /merge:.rdata=.data /merge:.text=.data /merge:.bss=.data /section:.data,re
            /timestamp:0 "/out:${linked}" "${object}" "${resources}"
    COMMAND ${CMAKE_COMMAND} -E copy "${linked}" "${image}"
    DEPENDS "${object}" "${resources}" "${KESTREL_LAYOUT_DIR}/kbdkestr.def"
    COMMENT "Linking ${target}.dll" VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${image}")
endfunction()

# The checks every built layout library gets: form, imports and subsystem, and its
# tables read from the file as Windows reads them (MODE x86, x64 or wow64) against
# the definition STEM.
function(kestrel_layout_checks name image mode stem)
  # Sections .data, .rsrc and .reloc only; no imports, one export, no time stamp.
  add_test(NAME layout.image.${name}
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DIMAGE=${image}
            -P "${CMAKE_SOURCE_DIR}/cmake/CheckLayoutImage.cmake")
  # Its imports and subsystem version against the oldest system of its architecture.
  add_test(NAME layout.imports.${name}
    COMMAND "${CMAKE_SOURCE_DIR}/scripts/check-pe.sh" "${CMAKE_OBJDUMP}" "${image}")
  add_test(NAME layout.reads.${name}
    COMMAND "${KESTREL_LAYOUT_TOOL}" verify ${mode} "${image}" "${KESTREL_LAYOUT_DIR}/${stem}.layout")
endfunction()

set(_layout_images)
set(_layout_check_args)
set(variant 0)
foreach(stem IN LISTS KESTREL_LAYOUT_VARIANTS)
  kestrel_layout_image(kbdkestr-${stem} ${variant} ${stem})
  set(image "${_layout_out}/kbdkestr-${stem}.dll")
  list(APPEND _layout_images kbdkestr-${stem})
  list(APPEND _layout_check_args --image ${variant} "${image}")
  if(KESTREL_WINE_BITS EQUAL 32)
    kestrel_layout_checks(${stem} "${image}" x86 ${stem})
  else()
    kestrel_layout_checks(${stem} "${image}" x64 ${stem})
  endif()
  if(KESTREL_WINE_BITS EQUAL 32)
    # The same tables with the x64 field layout, for the WOW64 folder.
    kestrel_layout_image(kbdkestr-${stem}-wow64 ${variant} ${stem} WOW64)
    set(image "${_layout_out}/kbdkestr-${stem}-wow64.dll")
    list(APPEND _layout_images kbdkestr-${stem}-wow64)
    list(APPEND _layout_check_args --image ${variant} "${image}")
    kestrel_layout_checks(${stem}.wow64 "${image}" wow64 ${stem})
  endif()
  math(EXPR variant "${variant} + 1")
endforeach()

# What the reader refuses: a plain x86 library read as the WOW64 form, and the
# form GNU ld gives the same tables (in .rdata, no .data section).
if(KESTREL_WINE_BITS EQUAL 32)
  add_test(NAME layout.reads.refuses-x86-as-wow64
    COMMAND "${KESTREL_LAYOUT_TOOL}" read wow64 "${_layout_out}/kbdkestr-standard.dll")
  set_tests_properties(layout.reads.refuses-x86-as-wow64 PROPERTIES
    PASS_REGULAR_EXPRESSION "is not the wow64 form")
  set(_ld_image "${_layout_gen}/kbdkestr-standard-ld.dll")
  add_custom_command(OUTPUT "${_ld_image}"
    COMMAND "${CMAKE_C_COMPILER}" ${_layout_compile} -shared -nostdlib -s -Wl,-e,_KbdLayerDescriptor
            "${_layout_gen}/kbdkestr-standard.c" "${KESTREL_LAYOUT_DIR}/kbdkestr.def" -o "${_ld_image}"
    DEPENDS "${_layout_gen}/kbdkestr-standard.c" COMMENT "Linking the standard tables with GNU ld" VERBATIM)
  add_custom_target(kbdkestr-standard-ld ALL DEPENDS "${_ld_image}")
  add_test(NAME layout.reads.refuses-rdata-form COMMAND "${KESTREL_LAYOUT_TOOL}" read x86 "${_ld_image}")
  set_tests_properties(layout.reads.refuses-rdata-form PROPERTIES PASS_REGULAR_EXPRESSION "no \\.data section")
endif()

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
kestrel_portable_test(NAME layout_image_tests SOURCES "${_layout_test_source}" "${_layout_gen}/LayoutExpectations.h")
target_include_directories(layout_image_tests PRIVATE "${_layout_gen}")
add_dependencies(layout_image_tests ${_layout_images})

# The payload's image table: x86 images in the slots of 32-bit Windows, x64 images
# (from the win64 build) in the 64-bit ones, the WOW64 images in slot 13 (the
# 32-bit system folder of 64-bit Windows). Slots 3, 6 and 9 (IA-64) stay empty.
if(KESTREL_WINE_BITS EQUAL 32)
  set(KESTREL_WIN64_TREE "" CACHE PATH "The x86_64 mingw build whose layout images fill the 64-bit slots")
  set(variant 0)
  foreach(stem IN LISTS KESTREL_LAYOUT_VARIANTS)
    foreach(slot 0 1 2 5 8 11)
      list(APPEND KESTREL_LAYOUT_PAYLOAD_ARGS --layout ${variant} ${slot} "${_layout_out}/kbdkestr-${stem}.dll")
    endforeach()
    list(APPEND KESTREL_LAYOUT_PAYLOAD_ARGS --layout ${variant} 13 "${_layout_out}/kbdkestr-${stem}-wow64.dll")
    list(APPEND KESTREL_LAYOUT_PAYLOAD_DEPENDS kbdkestr-${stem} "${_layout_out}/kbdkestr-${stem}.dll"
         kbdkestr-${stem}-wow64 "${_layout_out}/kbdkestr-${stem}-wow64.dll")
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
    kestrel_require_missing("KESTREL_WIN64_TREE is not set, so the payload's x64 layout slots stay empty"
      "Set it to the x86_64 mingw build (scripts/build.sh does)")
    kestrel_skipped_test(layout.patterns.x64 "KESTREL_WIN64_TREE is not set")
  endif()
endif()
