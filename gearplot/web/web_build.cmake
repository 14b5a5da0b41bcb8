# The web build: every program as a page of its own, built by Emscripten from the same
# sources. Only scripts/web.sh configures this (emcmake); the desktop build never reads it.
#
# A program joins with add_web_page(name): add_gear_program does that for every window
# program, a console program calls it once beside its add_executable.

set(GEARPLOT_WEB_DIR ${CMAKE_CURRENT_LIST_DIR})
set(GEARPLOT_WEB_SITE ${CMAKE_BINARY_DIR}/site)  # the folder to publish

# Every source sees the web layer's GL and GLUT first.
add_compile_options("SHELL:-include ${GEARPLOT_WEB_DIR}/web_gl.h")

# One line each on the index page and under each page's heading; a program without one is
# listed by name.
set(GEARPLOT_WEB_DESCRIPTION_gearlab "The gear laboratory: change any gear live and see it cut by its rack, finished with its numbers, and meshing with a mate; pictures and exports download from the page.")
set(GEARPLOT_WEB_DESCRIPTION_cutdemo3 "A rack cutter rolling on the pitch circle and cutting the tooth: the tip and root flanks, the undercut, and the whole tooth.")
set(GEARPLOT_WEB_DESCRIPTION_cutdemo2 "The second edition of the rack cutter: the same gear and keys, with solid circles and stroked curves.")
set(GEARPLOT_WEB_DESCRIPTION_cutdemo1 "The earliest edition, stepped in the angle at the gear centre, with a ten-tooth rack.")
set(GEARPLOT_WEB_DESCRIPTION_unwinddemo "An involute traced by a string unwound from its base circle, a crossed belt, and two gears meshing along it.")
set(GEARPLOT_WEB_DESCRIPTION_gearprofile "The gear engine's report for a command line, e.g. <code>gearprofile.html?args=--teeth 20 --json</code>; the files it writes download from the page.")
# The picture beside each on the index page, from docs/pictures.
set(GEARPLOT_WEB_PICTURE_gearlab gearlab-view1.png)
set(GEARPLOT_WEB_PICTURE_cutdemo3 cutdemo3-mode4.png)
set(GEARPLOT_WEB_PICTURE_cutdemo2 cutdemo2-mode6.png)
set(GEARPLOT_WEB_PICTURE_cutdemo1 cutdemo1-mode4.png)
set(GEARPLOT_WEB_PICTURE_unwinddemo unwinddemo-mode5.png)
set(GEARPLOT_WEB_PICTURE_gearprofile gearprofile-z10.png)
# The index page's order: the lab first, then the teaching programs, then the tool.
set(GEARPLOT_WEB_ORDER gearlab cutdemo3 cutdemo2 cutdemo1 unwinddemo gearprofile)
# gearlab asks nothing on its console, so its page has none.
set(GEARPLOT_WEB_NO_CONSOLE gearlab)

# Makes the program target `name` a page: name.html, name.js and name.wasm in the site folder.
# NO_WINDOW: a console program, whose page is its heading and its console alone.
function(add_web_page name)
  cmake_parse_arguments(PAGE "NO_WINDOW" "" "" ${ARGN})
  set(GEARPLOT_PAGE_NAME ${name})
  set(GEARPLOT_PAGE_SENTENCE "${GEARPLOT_WEB_DESCRIPTION_${name}}")
  set(GEARPLOT_PAGE_WINDOW window)
  if(PAGE_NO_WINDOW)
    set(GEARPLOT_PAGE_WINDOW none)
  endif()
  set(GEARPLOT_PAGE_CONSOLE console)
  if(name IN_LIST GEARPLOT_WEB_NO_CONSOLE)
    set(GEARPLOT_PAGE_CONSOLE none)
  endif()
  set(shell ${CMAKE_BINARY_DIR}/shells/${name}.html)
  configure_file(${GEARPLOT_WEB_DIR}/shell.html ${shell} @ONLY)
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
    "SHELL:--shell-file ${shell}"
    "SHELL:--js-library ${GEARPLOT_WEB_DIR}/gearplot_page.js")
  set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${shell} ${GEARPLOT_WEB_DIR}/gearplot_page.js)
  set_property(GLOBAL APPEND PROPERTY GEARPLOT_WEB_PAGES ${name})
endfunction()

# Writes the site's index.html, one entry per page with its picture and its line, in
# GEARPLOT_WEB_ORDER; call after every program is added.
function(write_web_index)
  get_property(pages GLOBAL PROPERTY GEARPLOT_WEB_PAGES)
  set(ordered "")
  foreach(page IN LISTS GEARPLOT_WEB_ORDER)
    if(page IN_LIST pages)
      list(APPEND ordered ${page})
    endif()
  endforeach()
  foreach(page IN LISTS pages)
    if(NOT page IN_LIST ordered)
      list(APPEND ordered ${page})
    endif()
  endforeach()
  set(items "")
  foreach(page IN LISTS ordered)
    set(picture "")
    if(DEFINED GEARPLOT_WEB_PICTURE_${page})
      file(COPY ${PROJECT_SOURCE_DIR}/docs/pictures/${GEARPLOT_WEB_PICTURE_${page}} DESTINATION ${GEARPLOT_WEB_SITE}/pictures)
      set(picture "<img src=\"pictures/${GEARPLOT_WEB_PICTURE_${page}}\" alt=\"${page}\" loading=\"lazy\">")
    endif()
    string(APPEND items "<li><a href=\"${page}.html\">${picture}<span><b>${page}</b> ${GEARPLOT_WEB_DESCRIPTION_${page}}</span></a></li>\n")
  endforeach()
  file(WRITE ${GEARPLOT_WEB_SITE}/index.html "<!doctype html>
<html lang=\"en\">
<head><meta charset=\"utf-8\"><meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">
<title>Involute gear geometry</title>
<style>
  body { font-family: sans-serif; margin: 0; padding: 16px; background: #eef0f3; color: #222; }
  h1 { margin: 0 0 4px; font-size: 1.5em; }
  p { margin: 0 0 12px; }
  ul { list-style: none; margin: 0; padding: 0; display: grid; gap: 12px;
       grid-template-columns: repeat(auto-fill, minmax(280px, 1fr)); }
  li a { display: flex; gap: 10px; align-items: flex-start; padding: 8px; background: #fff; border-radius: 6px;
         box-shadow: 0 0 3px #999; color: inherit; text-decoration: none; height: 100%; box-sizing: border-box; }
  li a:hover { box-shadow: 0 0 6px #447; }
  img { width: 120px; height: 120px; object-fit: contain; flex: none; border: 1px solid #ddd; }
  b { display: block; font-size: 1.15em; margin-bottom: 4px; }
</style></head>
<body>
<h1>Involute gear geometry</h1>
<p>How the flank of an involute spur gear comes into being: choose a program. Keys work on the page and as buttons; a link can answer a program's questions, e.g. <code>cutdemo3.html?input=20,0</code>.</p>
<ul>
${items}</ul>
</body>
</html>
")
endfunction()
