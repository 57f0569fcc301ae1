# The install-time steps of the Linux install, after the install() rules:
# the files that name the final program directory (the units, the desktop
# entry), the links, the example schedule (never over the user's own), the
# record of what was installed, and the timer enabled for a user install.
set(prefix "${CMAKE_INSTALL_PREFIX}")
set(root "$ENV{DESTDIR}${prefix}")
set(VELKORN_LIB_DIR "${prefix}/lib/velkorn")
set(lib "${root}/lib/velkorn")

# systemd finds a user's own units in ~/.local/share, everybody's in <prefix>/lib.
if(prefix STREQUAL "$ENV{HOME}/.local")
  set(units share/systemd/user)
else()
  set(units lib/systemd/user)
endif()
foreach(file velkorn.service velkorn-editor.desktop)
  configure_file("${VELKORN_PACKAGING_DIR}/${file}.in" "${VELKORN_WORK_DIR}/${file}" @ONLY)
endforeach()
file(INSTALL "${VELKORN_WORK_DIR}/velkorn.service" "${VELKORN_PACKAGING_DIR}/velkorn.timer"
     DESTINATION "${prefix}/${units}")
file(INSTALL "${VELKORN_WORK_DIR}/velkorn-editor.desktop" DESTINATION "${prefix}/share/applications")

# Relative links stay right wherever a staged (DESTDIR) tree is unpacked. A
# program started through one still finds its own directory, and so its
# schedule: /proc/self/exe names the file the link points to.
file(MAKE_DIRECTORY "${root}/bin")
foreach(program IN LISTS VELKORN_PROGRAMS)
  message(STATUS "Linking: ${root}/bin/${program}")
  file(CREATE_LINK "../lib/velkorn/${program}" "${root}/bin/${program}" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${prefix}/bin/${program}")
endforeach()

# The schedule belongs to the user: the example goes only where there is
# none, and stays out of the record, so that no uninstall removes it.
if(EXISTS "${lib}/velkorn.txt" OR IS_SYMLINK "${lib}/velkorn.txt")
  message(STATUS "Keeping: ${lib}/velkorn.txt")
else()
  message(STATUS "Installing the example schedule: ${lib}/velkorn.txt")
  file(COPY_FILE "${VELKORN_EXAMPLE}" "${lib}/velkorn.txt")
endif()

# What this install put where, relative to the prefix, for `make uninstall`.
# It lives in the install itself: the build tree's install_manifest.txt is
# rewritten by every install from that tree, and gone after `make clean`.
# The manifest names the installed paths without DESTDIR.
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${VELKORN_LIB_DIR}/installed-files")
list(REMOVE_DUPLICATES CMAKE_INSTALL_MANIFEST_FILES)
set(installed "")
foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
  file(RELATIVE_PATH file "${prefix}" "${file}")
  string(APPEND installed "${file}\n")
endforeach()
file(WRITE "${lib}/installed-files" "${installed}")

# A user's own install starts its timer in the user's service manager, where
# one is running; the timer then runs velkorn at once, being past its
# start-up delay. A staged or system-wide install enables nothing.
set(enabled 1)
if(units STREQUAL "share/systemd/user" AND "$ENV{DESTDIR}" STREQUAL "")
  execute_process(COMMAND systemctl --user daemon-reload RESULT_VARIABLE enabled OUTPUT_QUIET ERROR_QUIET)
  if(enabled EQUAL 0)
    execute_process(COMMAND systemctl --user enable --now velkorn.timer RESULT_VARIABLE enabled)
  endif()
endif()
if(enabled EQUAL 0)
  message(STATUS "velkorn.timer is enabled: velkorn runs now, daily just after midnight, and after each log-in.")
else()
  message(NOTICE "velkorn.timer is installed but not enabled. To run velkorn daily, enable it as the user "
                 "whose images it changes:\n  systemctl --user enable --now velkorn.timer")
endif()
