# Building for the browser: with Emscripten's toolchain (emcmake cmake ...),
# every program made with vantrel_add_program becomes a web page, in two
# forms made by one link:
#   - a folder <name>/ with index.html (and index.js, .wasm, .data), to put on
#     a web server;
#   - one self-contained <name>.html beside it (VANTREL_WEB_SINGLE_FILE), the
#     same files packed inside, compressed (web/pack.mjs), which works when
#     opened straight from the disk.
# A page starts its program as soon as it has loaded; its sound starts with
# the first click or key press on the page (VANTREL_WEB_CLICK_TO_START makes
# the program wait for a click on its picture instead).

set(VANTREL_WEB_OUTPUT "${CMAKE_BINARY_DIR}/pages" CACHE PATH
  "Folder the web pages are written to")
option(VANTREL_WEB_SINGLE_FILE
  "Also pack every page into one self-contained <name>.html that works opened from the disk" ON)
option(VANTREL_WEB_CLICK_TO_START
  "Start programs only when their picture is clicked, rather than as soon as the page has loaded" OFF)
option(VANTREL_WEB_ASYNCIFY
  "Let the program's own frame loop yield to the browser (off only to prove the tests fail without it)" ON)
option(VANTREL_WEB_EMBED_FONT
  "Put the default font into every page (off only to prove the tests fail without it)" ON)
mark_as_advanced(VANTREL_WEB_ASYNCIFY VANTREL_WEB_EMBED_FONT)

# Node.js packs the one-file pages; Emscripten itself runs on it.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 _vantrel_node) # the program, without its options
else()
  find_program(_vantrel_node NAMES node nodejs)
endif()
set(VANTREL_WEB_NODE "${_vantrel_node}" CACHE FILEPATH "Node.js, which packs the one-file pages")
mark_as_advanced(VANTREL_WEB_NODE)

# vantrel_web_library(<target>): what every program linked to the library
# <target> needs in the browser, as its link options: its own blocking frame
# loop made to yield to the browser (ASYNCIFY), memory that grows as needed,
# its end (a return from main, or exit) reported to the page, saved data in
# IndexedDB, and the default font at the path DEFAULT_FONT names.
#
# The link is what a rebuild after a one-line change waits for, and on a
# program with its libraries nearly all of it is Binaryen's whole-program
# work. -O1 leaves out the optimiser that -O2 and above run over the whole
# program (minutes, for a tenth of the size at most: the libraries and the
# program are compiled optimised already); Asyncify still tidies the code it
# rewrites (optimize-level 1), without which the page would be twice as large.
function(vantrel_web_library target)
  set(web_dir "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../web")
  set(options
    -O1
    -sASSERTIONS=0
    -sBINARYEN_EXTRA_PASSES=--optimize-level=1
    -sALLOW_MEMORY_GROWTH=1
    -sEXIT_RUNTIME=1
    -sEXPORTED_RUNTIME_METHODS=callMain
    # Saved data kept in the page's IndexedDB.
    -lidbfs.js
    # SDL's Web Audio code calls these two JavaScript helpers.
    "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${web_dir}/library_functions.txt")
  if(VANTREL_WEB_ASYNCIFY)
    list(APPEND options -sASYNCIFY)
  endif()
  if(VANTREL_WEB_EMBED_FONT)
    if(NOT EXISTS "${VANTREL_DEFAULT_FONT}")
      message(FATAL_ERROR "The default font ${VANTREL_DEFAULT_FONT} is missing: install fonts-dejavu-core")
    endif()
    list(APPEND options "SHELL:--preload-file ${VANTREL_DEFAULT_FONT}@${VANTREL_DEFAULT_FONT}")
  endif()
  target_link_options(${target} INTERFACE ${options})
endfunction()

# vantrel_web_program(<target> [NAME <name>] [CLICK_TO_START] [ASSETS <file-or-folder>...])
#
# Makes the program <target> a page named <name> (default: the target's name
# without a leading "vantrel-"): Vantrel's page around the canvas, with each
# asset at the top of the browser's file system ("/"), which is both the
# working directory and the program's folder there, so relative paths find
# them as they do on a desktop. The program starts when the page has loaded,
# or with CLICK_TO_START (or VANTREL_WEB_CLICK_TO_START set where this is
# called) when its picture is clicked.
function(vantrel_web_program target)
  cmake_parse_arguments(ARG "CLICK_TO_START" "NAME" "ASSETS" ${ARGN})
  set(name "${ARG_NAME}")
  if(NOT name)
    string(REGEX REPLACE "^vantrel-" "" name "${target}")
  endif()
  set(web_dir "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../web")

  # The page: Vantrel's own shell with the program's name in it.
  set(shell "${CMAKE_CURRENT_BINARY_DIR}/${target}-shell.html")
  set(VANTREL_PROGRAM "${name}")
  if(ARG_CLICK_TO_START OR VANTREL_WEB_CLICK_TO_START)
    set(VANTREL_WEB_START click)
  else()
    set(VANTREL_WEB_START load)
  endif()
  configure_file("${web_dir}/shell.html" "${shell}" @ONLY)
  set(options -sMINIFY_HTML=0 "SHELL:--shell-file ${shell}")
  set(depends "${shell}")

  set(folder "${VANTREL_WEB_OUTPUT}/${name}")
  set_target_properties(${target} PROPERTIES OUTPUT_NAME index RUNTIME_OUTPUT_DIRECTORY "${folder}")
  foreach(asset IN LISTS ARG_ASSETS)
    get_filename_component(source "${asset}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    get_filename_component(file_name "${source}" NAME)
    if(NOT EXISTS "${source}")
      message(FATAL_ERROR "vantrel_web_program(${target}): the asset ${source} does not exist")
    endif()
    list(APPEND options "SHELL:--preload-file ${source}@/${file_name}")
    list(APPEND depends "${source}")
  endforeach()
  target_link_options(${target} PRIVATE ${options})
  set_target_properties(${target} PROPERTIES SUFFIX ".html" LINK_DEPENDS "${depends}")

  if(VANTREL_WEB_SINGLE_FILE)
    if(NOT VANTREL_WEB_NODE)
      message(FATAL_ERROR "Node.js was not found: it packs the one-file pages (install nodejs)")
    endif()
    # A program that drops a file keeps no stale one in its folder; a change
    # of the packer makes the page again.
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${web_dir}/pack.mjs" "${web_dir}/unpack.js")
    add_custom_command(TARGET ${target} PRE_LINK
      COMMAND ${CMAKE_COMMAND} -E rm -f "${folder}/index.data" VERBATIM)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND "${VANTREL_WEB_NODE}" "${web_dir}/pack.mjs" "${folder}/index.html" "${VANTREL_WEB_OUTPUT}/${name}.html"
      COMMENT "Packing ${name}.html, the page as one file"
      VERBATIM)
  endif()
endfunction()

# Built static only, SDL2_ttf, SDL2_mixer and SDL2_image define just their
# "-static" targets: give them the names the desktop packages have.
foreach(_vantrel_sdl_library SDL2_ttf SDL2_mixer SDL2_image)
  if(TARGET ${_vantrel_sdl_library}::${_vantrel_sdl_library}-static
     AND NOT TARGET ${_vantrel_sdl_library}::${_vantrel_sdl_library})
    add_library(${_vantrel_sdl_library}::${_vantrel_sdl_library} INTERFACE IMPORTED)
    set_target_properties(${_vantrel_sdl_library}::${_vantrel_sdl_library} PROPERTIES
      INTERFACE_LINK_LIBRARIES ${_vantrel_sdl_library}::${_vantrel_sdl_library}-static)
  endif()
endforeach()
