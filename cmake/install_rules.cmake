# Installing like a Debian program: every program into bin/ with its manual page and its
# menu entry, the README and its pictures into the documentation folder, and a .deb made
# by CPack from the same rules.

# The Debian package's name, which also names the documentation folder.
set(GEAR_PACKAGE_NAME gear-geometry)
set(CMAKE_INSTALL_DOCDIR share/doc/${GEAR_PACKAGE_NAME} CACHE PATH "Documentation folder")
include(GNUInstallDirs)

# Installs a program with its manual page (man/NAME.1) and its menu entry
# (desktop/NAME.desktop) where the source tree has them, and lists it for scripts/run.sh.
function(install_gear_program name)
  install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  set(page ${PROJECT_SOURCE_DIR}/man/${name}.1)
  if(EXISTS ${page})
    # Debian ships manual pages compressed, without a time stamp in the archive.
    set(packed ${PROJECT_BINARY_DIR}/man/${name}.1.gz)
    add_custom_command(OUTPUT ${packed}
      COMMAND ${CMAKE_COMMAND} -E copy ${page} ${PROJECT_BINARY_DIR}/man/${name}.1
      COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/man/${name}.1
      DEPENDS ${page}
      VERBATIM)
    add_custom_target(${name}_manual_page DEPENDS ${packed})
    add_dependencies(${name} ${name}_manual_page)  # what installs with a program is built with it
    install(FILES ${packed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()

  set(entry ${PROJECT_SOURCE_DIR}/desktop/${name}.desktop)
  if(EXISTS ${entry})
    install(FILES ${entry} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  endif()

  set_property(GLOBAL APPEND PROPERTY GEAR_PROGRAMS ${name})
endfunction()

# Writes build/programs.txt, NAME<tab>PATH a line, once every folder has declared its
# programs: the run script and the install tests read it instead of guessing paths.
function(write_gear_program_list)
  get_property(programs GLOBAL PROPERTY GEAR_PROGRAMS)
  set(lines "")
  foreach(program IN LISTS programs)
    string(APPEND lines "${program}\t$<TARGET_FILE:${program}>\n")
  endforeach()
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/programs.txt CONTENT "${lines}")

  # A program with a manual page that was made some other way would not be installed.
  file(GLOB pages RELATIVE ${PROJECT_SOURCE_DIR}/man ${PROJECT_SOURCE_DIR}/man/*.1)
  foreach(page IN LISTS pages)
    string(REGEX REPLACE "\\.1$" "" program ${page})
    if(TARGET ${program} AND NOT program IN_LIST programs)
      message(SEND_ERROR "${program} is not made with add_gear_program or add_gear_tool, so it would not be installed")
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL write_gear_program_list)

install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Under docs/ again, so the README's picture links work where it is installed.
install(DIRECTORY docs/pictures DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)

# ---- The .deb ----
set(GEAR_PACKAGE_MAINTAINER "Gear geometry suite maintainers <root@localhost>"
    CACHE STRING "The Maintainer field of the .deb")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${GEAR_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_PACKAGE_CONTACT ${GEAR_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "teaching programs for involute gear geometry")
set(CPACK_PACKAGE_DESCRIPTION
    "Interactive programs that show how the flank of an involute spur gear comes into\n\
being: a rack cutter generating the tooth, and the involute traced by a string unwound\n\
from a base circle. Each has a manual page; those that ask on the console have a menu\n\
entry that opens a terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
# Depends is what dpkg-shlibdeps finds the programs linked against: runtime packages only.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
