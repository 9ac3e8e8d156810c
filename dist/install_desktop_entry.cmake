# install_desktop_entry.cmake: writes the desktop entry while installing, when the
# prefix is known, so that it starts the installed program by its full path: the
# prefix's bin folder need not be on the desktop's PATH (~/.local/bin is not
# until the next login after it was first created).
# Set by the install rules before this runs: PRISMORIA_APP_ID, PRISMORIA_BINDIR,
# PRISMORIA_APPS_DIR (each relative to the prefix, or absolute) and
# PRISMORIA_DESKTOP_TEMPLATE.

function(prismoria_under_prefix dir out)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

prismoria_under_prefix("${PRISMORIA_BINDIR}" bindir)
prismoria_under_prefix("${PRISMORIA_APPS_DIR}" appsdir)
set(exec "${bindir}/prismoria")
# A path with blanks or other special characters is quoted, with the escapes the
# desktop entry format asks for inside quotes.
if(exec MATCHES "[^A-Za-z0-9_./+-]")
  string(REPLACE "\\" "\\\\\\\\" exec "${exec}")
  string(REPLACE "\"" "\\\\\"" exec "${exec}")
  string(REPLACE "$" "\\\\$" exec "${exec}")
  string(REPLACE "`" "\\\\`" exec "${exec}")
  set(exec "\"${exec}\"")
endif()
string(REPLACE "%" "%%" PRISMORIA_EXEC "${exec}")

set(entry "$ENV{DESTDIR}${appsdir}/${PRISMORIA_APP_ID}.desktop")
message(STATUS "Installing: ${entry}")
configure_file("${PRISMORIA_DESKTOP_TEMPLATE}" "${entry}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${entry}")
