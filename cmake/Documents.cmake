# The user guide and the keyboard chart (PDF), drawn at build time from the layout
# definitions through the layout tool's json mode, and the web links' icon.
#
# Host tree: builds them (target kestrel_documents) and tests them (test "documents").
# mingw i686 tree: builds them and adds them to setup.exe's payload, so this file is
# included before the payload command reads KESTREL_PAYLOAD_EXTRA_ARGS.

if(KESTREL_SANITIZE OR KESTREL_LIBFUZZER)
  return()  # the plain host tree already makes and checks them
endif()
if(KESTREL_MINGW AND NOT KESTREL_WINE_BITS EQUAL 32)
  return()  # only setup.exe (i686) carries the documents
endif()

# The definitions cmake/KestrelLayout.cmake builds the images from, else every one there is.
if(KESTREL_LAYOUT_DEFINITIONS)
  set(_kestrel_document_definitions ${KESTREL_LAYOUT_DEFINITIONS})
else()
  kestrel_glob(_kestrel_document_definitions "${CMAKE_SOURCE_DIR}/layout/*.layout")
endif()
if(NOT _kestrel_document_definitions)
  kestrel_require_missing("no layout definitions for the documents (layout/*.layout)"
    "Restore the layout definitions")
  return()
endif()

# reportlab and fontTools are Debian packages (scripts/install-deps.sh): take the first
# interpreter that imports both, as a python3 earlier on PATH (pyenv) may not see Debian's packages.
if(NOT KESTREL_DOCUMENTS_PYTHON)
  find_package(Python3 COMPONENTS Interpreter)
  if(NOT DEFINED KESTREL_DOCUMENTS_PYTHON_CANDIDATES)
    set(KESTREL_DOCUMENTS_PYTHON_CANDIDATES "${Python3_EXECUTABLE}" /usr/bin/python3)
  endif()
  foreach(candidate IN LISTS KESTREL_DOCUMENTS_PYTHON_CANDIDATES)
    if(candidate)
      execute_process(COMMAND "${candidate}" -c "import reportlab, fontTools"
        RESULT_VARIABLE import_failed OUTPUT_QUIET ERROR_QUIET)
      if(NOT import_failed)
        set(KESTREL_DOCUMENTS_PYTHON "${candidate}" CACHE FILEPATH
          "Python with reportlab and fontTools, for the documents")
        break()
      endif()
    endif()
  endforeach()
endif()
if(NOT KESTREL_DOCUMENTS_PYTHON)
  kestrel_require_missing(
    "no Python that imports reportlab and fontTools, which draw the user guide and the chart"
    "Install the Debian packages python3-reportlab and python3-fonttools (scripts/install-deps.sh)")
  if(NOT KESTREL_MINGW)
    kestrel_skipped_test(documents "no Python with reportlab and fontTools")
  endif()
  return()
endif()

set(KESTREL_DOCUMENTS_DIR "${CMAKE_BINARY_DIR}/documents")
set(KESTREL_GUIDE "${KESTREL_DOCUMENTS_DIR}/kestrel-guide.pdf")
set(KESTREL_CHART "${KESTREL_DOCUMENTS_DIR}/kestrel-chart.pdf")
# Its own folder: the link icon has the program icon's file name (text 80).
set(KESTREL_LINK_ICON "${KESTREL_DOCUMENTS_DIR}/web-link/kestrel.ico")
set(KESTREL_MAKE_DOCUMENTS "${CMAKE_SOURCE_DIR}/tools/make_documents.py")
kestrel_glob(_kestrel_document_sources "${CMAKE_SOURCE_DIR}/tools/documents/*.py")
kestrel_glob(_kestrel_document_texts "${KESTREL_CONTENT_DIR}/strings/*.txt")

# kestrel_documents_rules(TOOL DEPENDS): the commands that make the documents; TOOL is
# the layout tool, DEPENDS what its command waits for.
function(kestrel_documents_rules tool tool_depends)
  file(MAKE_DIRECTORY "${KESTREL_DOCUMENTS_DIR}/json")
  set(descriptions "")
  foreach(definition IN LISTS _kestrel_document_definitions)
    get_filename_component(stem "${definition}" NAME_WE)
    set(description "${KESTREL_DOCUMENTS_DIR}/json/${stem}.json")
    add_custom_command(OUTPUT "${description}"
      COMMAND ${tool} json "${definition}" "${description}"
      DEPENDS ${tool_depends} "${definition}"
      COMMENT "Describing layout ${stem}" VERBATIM)
    list(APPEND descriptions "${description}")
  endforeach()
  add_custom_command(OUTPUT "${KESTREL_GUIDE}" "${KESTREL_CHART}"
    COMMAND "${KESTREL_DOCUMENTS_PYTHON}" "${KESTREL_MAKE_DOCUMENTS}"
            --content "${KESTREL_CONTENT_DIR}" --out "${KESTREL_DOCUMENTS_DIR}" ${descriptions}
    DEPENDS ${descriptions} "${KESTREL_MAKE_DOCUMENTS}" ${_kestrel_document_sources}
            ${_kestrel_document_texts}
    COMMENT "Drawing the user guide and the keyboard chart" VERBATIM)
  add_custom_command(OUTPUT "${KESTREL_LINK_ICON}"
    COMMAND "${KESTREL_DOCUMENTS_PYTHON}" "${CMAKE_SOURCE_DIR}/tools/make_icons.py"
            --web-link "${KESTREL_DOCUMENTS_DIR}/web-link"
    DEPENDS "${CMAKE_SOURCE_DIR}/tools/make_icons.py"
    COMMENT "Drawing the web link icon" VERBATIM)
  set(KESTREL_LAYOUT_DESCRIPTIONS "${descriptions}" PARENT_SCOPE)
endfunction()

if(KESTREL_MINGW)
  set(_kestrel_layout_tool "${KESTREL_HOST_TOOLS}/kestrel-layout")
  if(NOT EXISTS "${_kestrel_layout_tool}")
    kestrel_require_missing("${_kestrel_layout_tool} is not built, so the documents cannot be drawn"
      "Build the host tree first (scripts/build.sh does)")
    return()
  endif()
  kestrel_documents_rules("${_kestrel_layout_tool}" "${_kestrel_layout_tool}")
  list(APPEND KESTREL_PAYLOAD_EXTRA_ARGS
    --first-document "${KESTREL_GUIDE}" --second-document "${KESTREL_CHART}"
    --link-icon "${KESTREL_LINK_ICON}")
  list(APPEND KESTREL_PAYLOAD_EXTRA_DEPENDS "${KESTREL_GUIDE}" "${KESTREL_CHART}"
    "${KESTREL_LINK_ICON}")
else()
  # Deferred to the end of CMakeLists.txt, where the layout tool's target exists
  # wherever that file defines it.
  function(kestrel_host_documents)
    if(NOT TARGET kestrel-layout)
      kestrel_require_missing("no kestrel-layout target for the documents" "Restore tools/layout")
      return()
    endif()
    kestrel_documents_rules("$<TARGET_FILE:kestrel-layout>" kestrel-layout)
    add_custom_target(kestrel_documents ALL
      DEPENDS "${KESTREL_GUIDE}" "${KESTREL_CHART}" "${KESTREL_LINK_ICON}")
    add_test(NAME documents
      COMMAND "${KESTREL_DOCUMENTS_PYTHON}" "${CMAKE_SOURCE_DIR}/tests/documents/documents_test.py"
              "${KESTREL_MAKE_DOCUMENTS}" "${KESTREL_CONTENT_DIR}" "${KESTREL_DOCUMENTS_DIR}"
              ${KESTREL_LAYOUT_DESCRIPTIONS})
    set_tests_properties(documents PROPERTIES TIMEOUT 300)
  endfunction()
  cmake_language(DEFER CALL kestrel_host_documents)
endif()
