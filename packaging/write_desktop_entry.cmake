# Writes share/applications/belvane.desktop with Exec naming the installed program. A path holding a
# character the desktop entry format reserves is quoted, with " ` $ and \ escaped inside the quotes
# and \ written twice again for the key's string value; a % is doubled.
set(program "${CMAKE_INSTALL_PREFIX}/${BELVANE_INSTALL_FOLDER}/belvane")
string(REPLACE "%" "%%" exec "${program}")
if(exec MATCHES "[] \t\"'\\\\><~|&;$*?#()`[]")
    string(REPLACE "\\" "\\\\" exec "${exec}")
    string(REPLACE "\"" "\\\"" exec "${exec}")
    string(REPLACE "`" "\\`" exec "${exec}")
    string(REPLACE "$" "\\$" exec "${exec}")
    string(REPLACE "\\" "\\\\" exec "${exec}")
    set(exec "\"${exec}\"")
endif()
set(BELVANE_EXEC "${exec}")
set(entry "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/belvane.desktop")
configure_file("${BELVANE_DESKTOP_TEMPLATE}" "${entry}" @ONLY)
message(STATUS "Installing: ${entry}")
