# The web build: every program as a page of its own, built by Emscripten from the same
# sources. Only scripts/web.sh configures this (emcmake); the desktop build never reads it.
#
# A program joins with add_web_page(name): add_gear_program does that for every window
# program, a console program calls it once beside its add_executable.

set(GEARPLOT_WEB_DIR ${CMAKE_CURRENT_LIST_DIR})
set(GEARPLOT_WEB_SITE ${CMAKE_BINARY_DIR}/site)  # the folder to publish

# Every source sees the web layer's GL and GLUT first.
add_compile_options("SHELL:-include ${GEARPLOT_WEB_DIR}/web_gl.h")

# One line each on the index page; a program without one is listed by name.
set(GEARPLOT_WEB_DESCRIPTION_cutdemo3 "a rack cutter rolling on the pitch circle and cutting the tooth")
set(GEARPLOT_WEB_DESCRIPTION_cutdemo2 "the second edition: the same gear and keys, with solid circles and stroked curves")
set(GEARPLOT_WEB_DESCRIPTION_cutdemo1 "the earliest edition, stepped in the angle at the gear centre, with a ten-tooth rack")
set(GEARPLOT_WEB_DESCRIPTION_unwinddemo "an involute traced by an unwound string, a crossed belt and two meshing gears")
set(GEARPLOT_WEB_DESCRIPTION_gearprofile "the gear engine's report for a command line, e.g. <code>gearprofile.html?args=--teeth 20 --json</code>; files it writes are offered for download")
set(GEARPLOT_WEB_DESCRIPTION_gearlab "the gear laboratory: cut, finished and meshing views of any gear, pictures and exports downloaded from the page")

# Makes the program target `name` a page: name.html, name.js and name.wasm in the site folder.
function(add_web_page name)
  set_target_properties(${name} PROPERTIES SUFFIX .html RUNTIME_OUTPUT_DIRECTORY ${GEARPLOT_WEB_SITE})
  target_sources(${name} PRIVATE ${GEARPLOT_WEB_DIR}/web_console.cpp)
  target_link_options(${name} PRIVATE
    -sLEGACY_GL_EMULATION=1            # the programs draw in OpenGL 1.1 immediate mode
    -sASYNCIFY=1                       # a console read waits for the page's input field
    "SHELL:-sASYNCIFY_IMPORTS=['wasi_snapshot_preview1.fd_read','gearplot_web_wait_key']"
    -sASYNCIFY_STACK_SIZE=65536
    -sEXIT_RUNTIME=1                   # Escape's exit() reaches the page
    -sFORCE_FILESYSTEM=1               # standard output through the page's console even in a
                                       # program that opens no file
    -sALLOW_MEMORY_GROWTH=1
    -sMINIFY_HTML=0                    # Debian's emcc has no html-minifier
    "SHELL:--shell-file ${GEARPLOT_WEB_DIR}/shell.html"
    "SHELL:--js-library ${GEARPLOT_WEB_DIR}/gearplot_page.js")
  set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS
    ${GEARPLOT_WEB_DIR}/shell.html ${GEARPLOT_WEB_DIR}/gearplot_page.js)
  set_property(GLOBAL APPEND PROPERTY GEARPLOT_WEB_PAGES ${name})
endfunction()

# Writes the site's index.html, one entry per page; call after every program is added.
function(write_web_index)
  get_property(pages GLOBAL PROPERTY GEARPLOT_WEB_PAGES)
  set(items "")
  foreach(page IN LISTS pages)
    set(line "<li><a href=\"${page}.html\">${page}</a>")
    if(DEFINED GEARPLOT_WEB_DESCRIPTION_${page})
      string(APPEND line ": ${GEARPLOT_WEB_DESCRIPTION_${page}}")
    endif()
    string(APPEND items "${line}</li>\n")
  endforeach()
  file(WRITE ${GEARPLOT_WEB_SITE}/index.html "<!doctype html>
<html lang=\"en\">
<head><meta charset=\"utf-8\"><title>Involute gear geometry</title>
<style>body { font-family: sans-serif; max-width: 44em; margin: 2em auto; }</style></head>
<body>
<h1>Involute gear geometry</h1>
<p>Each program runs in the page: answer its questions in the console field beside the
window, then type its keys. A link can answer for you, e.g. <code>cutdemo3.html?input=20,0</code>.</p>
<ul>
${items}</ul>
</body>
</html>
")
endfunction()
