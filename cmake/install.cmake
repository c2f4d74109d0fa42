# cmake --install BUILD [--prefix DIR] puts the suite into one folder: the programs side by
# side (the launcher starts the tools from its own folder), their help documents and the
# standard black list beside them, the pictures, and a desktop entry for each program.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX ${PROJECT_SOURCE_DIR}/install CACHE PATH "Install folder" FORCE)
endif()

# Every executable of the program folders, whatever its target is called.
foreach(folder builder compare sorter launcher cli)
    get_property(targets DIRECTORY ${PROJECT_SOURCE_DIR}/${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "EXECUTABLE")
            install(TARGETS ${target} RUNTIME DESTINATION .)
        endif()
    endforeach()
endforeach()

install(FILES
    docs/help/Orvella.html docs/help/Cambrel.html docs/help/Pelmor.html docs/help/Lexorum.html
    docs/help/help.css
    DESTINATION .)
# The black list is Orvella's; it is optional here so the suite installs before it exists.
install(FILES builder/black_list.dat DESTINATION . OPTIONAL)
install(DIRECTORY resources/icons resources/pictures DESTINATION . FILES_MATCHING PATTERN "*.png")
install(SCRIPT cmake/desktopentries.cmake)
