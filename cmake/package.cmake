# cpack -G DEB (see scripts/package) makes lexorum_<version>_<arch>.deb of the GNU layout
# (the install component fhs, whatever LEXORUM_PORTABLE says), stripped, with the
# libraries it needs found by dpkg-shlibdeps.
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lexorum
        COMPONENT fhs ${fhs_default})
add_custom_command(OUTPUT ${generated}/changelog.gz
    COMMAND ${GZIP_PROGRAM} -9n -c ${PROJECT_SOURCE_DIR}/packaging/changelog
            > ${generated}/changelog.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(lexorum_changelog ALL DEPENDS ${generated}/changelog.gz)
install(FILES ${generated}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lexorum
        COMPONENT fhs ${fhs_default})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lexorum)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lexorum developers")
set(CPACK_PACKAGE_CONTACT "Lexorum developers <maintainers@lexorum.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL fhs)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.lexorum.example/products/lexorum/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own messages and dialogs in Russian; npm downloads the dictionary's morphology.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "npm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programs for compiling Russian word lists")
file(READ ${PROJECT_SOURCE_DIR}/packaging/description CPACK_DEBIAN_PACKAGE_DESCRIPTION)
set(CPACK_COMPONENT_FHS_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
include(CPack)
