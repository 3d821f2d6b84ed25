# At install time: an empty distances.mdb unless the folder has one (a
# club's distances are never replaced), and a desktop entry for Linux
# desktops.
set(folder "${CMAKE_INSTALL_PREFIX}")
if(NOT "$ENV{DESTDIR}" STREQUAL "")
  # As CMake's own installs: a drive letter is dropped under the stage.
  string(REGEX REPLACE "^[A-Za-z]:" "" staged "${CMAKE_INSTALL_PREFIX}")
  set(folder "$ENV{DESTDIR}${staged}")
endif()
if(NOT EXISTS "${folder}/distances.mdb")
  # Copied, not installed: it is the club's from now on, and an uninstall
  # by the install manifest must never take the club's distances with it.
  message(STATUS "Installing: ${folder}/distances.mdb")
  file(MAKE_DIRECTORY "${folder}")
  file(COPY_FILE "${PELLAMY_EMPTY_DATABASE}" "${folder}/distances.mdb")
else()
  message(STATUS "Kept: ${folder}/distances.mdb")
endif()

if(CMAKE_HOST_WIN32)
  return()
endif()

# A desktop entry's values take a backslash as "\\"; Exec's quoted argument
# then takes one more before a backslash, quote, backquote or dollar sign,
# and doubles a percent sign, so that any folder name runs this program.
string(REPLACE "\\" "\\\\" plain "${CMAKE_INSTALL_PREFIX}")
set(exec "${CMAKE_INSTALL_PREFIX}/pellamy")
string(REPLACE "\\" "\\\\\\\\" exec "${exec}")
foreach(c "\"" "`" "$")
  string(REPLACE "${c}" "\\\\${c}" exec "${exec}")
endforeach()
string(REPLACE "%" "%%" exec "${exec}")
file(WRITE "${folder}/pellamy.desktop"
"[Desktop Entry]
Type=Application
Name=Pellamy
Comment=Pigeon race results for a club
Exec=\"${exec}\"
Path=${plain}
Icon=${plain}/pellamy.svg
Terminal=false
Categories=Office;
")
# As CMake lists what it installs: under the prefix, without a stage.
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_PREFIX}/pellamy.desktop")
