# cmake --install BUILD [--prefix DIR] installs the suite in one of two layouts, each an
# install component of its own:
#  - fhs (the default): the programs and lexorum-cli in bin/; help documents, the standard
#    black list and pictures in share/lexorum/; desktop entries, icons and AppStream
#    metadata where desktops look for them; the manual page; the service's user unit;
#  - portable (-DLEXORUM_PORTABLE=ON): one flat folder, the programs side by side with
#    their help documents, the black list, icons, pictures and desktop entries.
# The other layout stays available: cmake --install BUILD --component portable|fhs.
# The programs find their files relative to their own folder in both (common/suiteinfo.h).
if(LEXORUM_PORTABLE)
    set(portable_default "")
    set(fhs_default EXCLUDE_FROM_ALL)
    # The flat folder goes into the source tree unless a prefix was chosen; the cache keeps
    # the default, so switching the option off again installs under /usr/local.
    if(CMAKE_INSTALL_PREFIX STREQUAL "/usr/local")
        set(CMAKE_INSTALL_PREFIX ${PROJECT_SOURCE_DIR}/install)
    endif()
else()
    set(portable_default EXCLUDE_FROM_ALL)
    set(fhs_default "")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/programs.cmake)

# Every executable of the program folders, whatever its target is called.
set(lexorum_executables)
foreach(folder builder compare sorter launcher cli)
    get_property(targets DIRECTORY ${PROJECT_SOURCE_DIR}/${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "EXECUTABLE")
            list(APPEND lexorum_executables ${target})
        endif()
    endforeach()
endforeach()
set(help_files
    docs/help/Orvella.html docs/help/Cambrel.html docs/help/Pelmor.html docs/help/Lexorum.html
    docs/help/help.css builder/black_list.dat)

# --- portable: today's flat folder -----------------------------------------------------
install(TARGETS ${lexorum_executables} RUNTIME DESTINATION . COMPONENT portable
        ${portable_default})
install(PROGRAMS scripts/lexorum-build-dictionary DESTINATION . COMPONENT portable
        ${portable_default})
install(FILES ${help_files} DESTINATION . COMPONENT portable ${portable_default})
install(DIRECTORY resources/icons resources/pictures DESTINATION . COMPONENT portable
        ${portable_default} FILES_MATCHING PATTERN "*.png")
# The flat folder's desktop entries name the executables and icons by absolute path,
# known only once the prefix is.
install(SCRIPT cmake/desktopentries.cmake COMPONENT portable ${portable_default})

# --- fhs: the GNU layout ---------------------------------------------------------------
set(data_dir ${CMAKE_INSTALL_DATADIR}/lexorum)
install(TARGETS ${lexorum_executables} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT fhs ${fhs_default})
install(PROGRAMS scripts/lexorum-build-dictionary DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT fhs ${fhs_default})
install(FILES ${help_files} DESTINATION ${data_dir} COMPONENT fhs ${fhs_default})
install(DIRECTORY resources/pictures DESTINATION ${data_dir} COMPONENT fhs ${fhs_default}
        FILES_MATCHING PATTERN "*.png")

# Desktop entries and AppStream metadata name programs and icons by name only: bin/ is on
# the PATH and the icons are in the hicolor theme.
set(generated ${PROJECT_BINARY_DIR}/install)
file(READ ${CMAKE_CURRENT_LIST_DIR}/fhs.desktop.in desktop_template)
file(READ ${CMAKE_CURRENT_LIST_DIR}/metainfo.xml.in metainfo_template)
foreach(entry IN LISTS lexorum_programs)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 program)
    list(GET fields 1 icon)
    list(GET fields 2 generic_name)
    list(GET fields 3 comment)
    list(GET fields 4 summary)
    list(GET fields 5 description)
    list(GET fields 6 description_ru)
    set(id ${lexorum_desktop_id_prefix}.${program})
    set(version ${PROJECT_VERSION})
    string(CONFIGURE "${desktop_template}" desktop @ONLY)
    file(WRITE ${generated}/${id}.desktop "${desktop}")
    string(CONFIGURE "${metainfo_template}" metainfo @ONLY)
    file(WRITE ${generated}/${id}.metainfo.xml "${metainfo}")
    install(FILES ${generated}/${id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
            COMPONENT fhs ${fhs_default})
    install(FILES ${generated}/${id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
            COMPONENT fhs ${fhs_default})
    install(FILES resources/icons/${icon}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
            RENAME ${id}.png COMPONENT fhs ${fhs_default})
    install(FILES resources/svg/icon-${icon}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
            RENAME ${id}.svg COMPONENT fhs ${fhs_default})
endforeach()

# The manual pages, compressed as Debian keeps them; the three tools share the suite's.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(manual_pages)
foreach(page lexorum-cli.1 lexorum-build-dictionary.1 Lexorum.1)
    add_custom_command(OUTPUT ${generated}/${page}.gz
        COMMAND ${GZIP_PROGRAM} -9n -c ${PROJECT_SOURCE_DIR}/docs/${page} > ${generated}/${page}.gz
        DEPENDS ${PROJECT_SOURCE_DIR}/docs/${page} VERBATIM)
    list(APPEND manual_pages ${generated}/${page}.gz)
endforeach()
add_custom_target(lexorum_manual ALL DEPENDS ${manual_pages})
foreach(program Orvella Cambrel Pelmor)
    file(CREATE_LINK Lexorum.1.gz ${generated}/${program}.1.gz SYMBOLIC)
    list(APPEND manual_pages ${generated}/${program}.1.gz)
endforeach()
install(FILES ${manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT fhs ${fhs_default})

# The service's systemd user unit names lexorum-cli by absolute path, known only once
# the prefix is (a package's prefix is set when it is made).
install(CODE "set(unit_template \"${CMAKE_CURRENT_LIST_DIR}/lexorum-service.service.in\")
    set(unit_bindir \"${CMAKE_INSTALL_BINDIR}\")"
    COMPONENT fhs ${fhs_default})
install(SCRIPT cmake/serviceunit.cmake COMPONENT fhs ${fhs_default})
