# Run by cmake --install of the portable folder: writes a desktop entry for each program.
# The entries name the installed executables and icons by absolute path, known only once
# the prefix is.
include(${CMAKE_CURRENT_LIST_DIR}/programs.cmake)
file(READ "${CMAKE_CURRENT_LIST_DIR}/program.desktop.in" template)
set(prefix "${CMAKE_INSTALL_PREFIX}")
foreach(entry IN LISTS lexorum_programs)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 program)
    list(GET fields 1 icon)
    list(GET fields 2 generic_name)
    list(GET fields 3 comment)
    string(CONFIGURE "${template}" text @ONLY)
    set(file "$ENV{DESTDIR}${prefix}/${icon}.desktop")
    message(STATUS "Installing: ${file}")
    file(WRITE "${file}" "${text}")
    file(CHMOD "${file}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
         GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
