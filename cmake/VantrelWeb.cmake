# Building for the browser: with Emscripten's toolchain (emcmake cmake ...),
# every program made with vantrel_add_program becomes a web page. ./dev web
# configures two builds, one for each form of page:
#   - a folder <name>/ with index.html (and index.js, .wasm, .data), to put on
#     a web server;
#   - one self-contained <name>.html (VANTREL_WEB_SINGLE_FILE=ON), with the
#     WebAssembly, the default font and the program's files inside, which
#     works when opened straight from the disk.

set(VANTREL_WEB_OUTPUT "${CMAKE_BINARY_DIR}/pages" CACHE PATH
  "Folder the web pages are written to")
option(VANTREL_WEB_SINGLE_FILE
  "Build each program as one self-contained .html rather than a folder with index.html" OFF)
option(VANTREL_WEB_ASYNCIFY
  "Let the program's own frame loop yield to the browser (off only to prove the tests fail without it)" ON)
option(VANTREL_WEB_EMBED_FONT
  "Put the default font into every page (off only to prove the tests fail without it)" ON)
mark_as_advanced(VANTREL_WEB_ASYNCIFY VANTREL_WEB_EMBED_FONT)

# vantrel_web_library(<target>): what every program linked to the library
# <target> needs in the browser, as its link options: its own blocking frame
# loop made to yield to the browser (ASYNCIFY), memory that grows as needed,
# its end (a return from main, or exit) reported to the page, and the default font at the path DEFAULT_FONT names.
function(vantrel_web_library target)
  set(web_dir "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../web")
  set(options
    -sALLOW_MEMORY_GROWTH=1
    -sEXIT_RUNTIME=1
    -sEXPORTED_RUNTIME_METHODS=callMain
    # SDL's Web Audio code calls these two JavaScript helpers.
    "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${web_dir}/library_functions.txt")
  if(VANTREL_WEB_ASYNCIFY)
    list(APPEND options -sASYNCIFY)
  endif()
  if(VANTREL_WEB_SINGLE_FILE)
    list(APPEND options -sSINGLE_FILE=1)
    set(put --embed-file)
  else()
    set(put --preload-file)
  endif()
  if(VANTREL_WEB_EMBED_FONT)
    if(NOT EXISTS "${VANTREL_DEFAULT_FONT}")
      message(FATAL_ERROR "The default font ${VANTREL_DEFAULT_FONT} is missing: install fonts-dejavu-core")
    endif()
    list(APPEND options "SHELL:${put} ${VANTREL_DEFAULT_FONT}@${VANTREL_DEFAULT_FONT}")
  endif()
  target_link_options(${target} INTERFACE ${options})
endfunction()

# vantrel_web_program(<target> [NAME <name>] [ASSETS <file-or-folder>...])
#
# Makes the program <target> a page named <name> (default: the target's name
# without a leading "vantrel-"): Vantrel's page around the canvas, with each
# asset at the top of the browser's file system ("/"), which is both the
# working directory and the program's folder there, so relative paths find
# them as they do on a desktop.
function(vantrel_web_program target)
  cmake_parse_arguments(ARG "" "NAME" "ASSETS" ${ARGN})
  set(name "${ARG_NAME}")
  if(NOT name)
    string(REGEX REPLACE "^vantrel-" "" name "${target}")
  endif()

  # The page: Vantrel's own shell with the program's name in it.
  set(shell "${CMAKE_CURRENT_BINARY_DIR}/${target}-shell.html")
  set(VANTREL_PROGRAM "${name}")
  configure_file("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../web/shell.html" "${shell}" @ONLY)
  set(options -sMINIFY_HTML=0 "SHELL:--shell-file ${shell}")
  set(depends "${shell}")

  if(VANTREL_WEB_SINGLE_FILE)
    set(put --embed-file)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME "${name}"
      RUNTIME_OUTPUT_DIRECTORY "${VANTREL_WEB_OUTPUT}")
  else()
    set(put --preload-file)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME index
      RUNTIME_OUTPUT_DIRECTORY "${VANTREL_WEB_OUTPUT}/${name}")
  endif()
  foreach(asset IN LISTS ARG_ASSETS)
    get_filename_component(source "${asset}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    get_filename_component(file_name "${source}" NAME)
    if(NOT EXISTS "${source}")
      message(FATAL_ERROR "vantrel_web_program(${target}): the asset ${source} does not exist")
    endif()
    list(APPEND options "SHELL:${put} ${source}@/${file_name}")
    list(APPEND depends "${source}")
  endforeach()
  target_link_options(${target} PRIVATE ${options})
  set_target_properties(${target} PROPERTIES SUFFIX ".html" LINK_DEPENDS "${depends}")
endfunction()

# vantrel_web_assets(<variable> <folder>): the files in <folder> that a
# program may open by relative paths: its sounds, images and fonts,
# screenshots aside.
function(vantrel_web_assets variable folder)
  set(found)
  foreach(pattern *.wav *.ogg *.mp3 *.flac *.png *.jpg *.jpeg *.bmp *.gif *.ttf *.otf)
    file(GLOB matches CONFIGURE_DEPENDS "${folder}/${pattern}")
    list(APPEND found ${matches})
  endforeach()
  list(FILTER found EXCLUDE REGEX "/screenshot\\.png$")
  list(SORT found)
  set(${variable} ${found} PARENT_SCOPE)
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
