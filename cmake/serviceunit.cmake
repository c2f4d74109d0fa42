# Run by cmake --install of the GNU layout: writes the service's systemd user unit, which
# names lexorum-cli by absolute path (systemd wants one), known only once the prefix is.
# unit_template and unit_bindir are set by the install rule before.
file(READ "${unit_template}" template)
if(IS_ABSOLUTE "${unit_bindir}")
    set(bindir "${unit_bindir}")
else()
    set(bindir "${CMAKE_INSTALL_PREFIX}/${unit_bindir}")
endif()
string(CONFIGURE "${template}" text @ONLY)
set(file "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/systemd/user/lexorum-service.service")
message(STATUS "Installing: ${file}")
file(WRITE "${file}" "${text}")
