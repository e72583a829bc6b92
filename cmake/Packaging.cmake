# The Debian package: `cpack -G DEB` in the build directory (the `package`
# preset: installed under /usr) makes robot-fiscal_VERSION_ARCH.deb with the
# program, the simulated printer, the systemd units, the desktop entry, its
# icon and the manual page. The maintainer scripts make the robot's user.
install(TARGETS fiscalsim LIBRARY DESTINATION lib/robot-fiscal)
install(FILES
  ${PROJECT_SOURCE_DIR}/packaging/robot-fiscal@.service
  ${PROJECT_SOURCE_DIR}/packaging/robot-fiscal-cierre-z@.service
  ${PROJECT_SOURCE_DIR}/packaging/robot-fiscal-cierre-z@.timer
  DESTINATION /lib/systemd/system)

# Compressed as Debian wants them: most, and without a time stamp.
foreach(doc robot-fiscal.1 debian/changelog)
  get_filename_component(name ${doc} NAME)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${name}.gz
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/packaging/${doc} > ${CMAKE_BINARY_DIR}/${name}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${doc})
  list(APPEND compressed ${CMAKE_BINARY_DIR}/${name}.gz)
endforeach()
add_custom_target(package-docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/robot-fiscal.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

# For the installer: the README, the schemas of both engines, and an example
# configuration (what --init writes, for an instance named NOMBRE).
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/installing.md
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
file(GLOB schemas ${PROJECT_SOURCE_DIR}/sql/*.sql)
install(FILES ${schemas} DESTINATION ${CMAKE_INSTALL_DOCDIR}/sql)
set(example ${CMAKE_BINARY_DIR}/example)
add_custom_command(OUTPUT ${example}/Vextora.inf ${example}/robot-fiscal.ini
  COMMAND ${CMAKE_COMMAND} -DROBOT=$<TARGET_FILE:robot-fiscal> -DDIR=${example}
    -P ${PROJECT_SOURCE_DIR}/cmake/ExampleConfiguration.cmake
  DEPENDS robot-fiscal ${PROJECT_SOURCE_DIR}/cmake/ExampleConfiguration.cmake VERBATIM)
add_custom_target(package-example ALL DEPENDS ${example}/Vextora.inf)
install(FILES ${example}/Vextora.inf ${example}/robot-fiscal.ini
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/ejemplo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME robot-fiscal)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "robot-fiscal developers <robot-fiscal@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "unattended fiscal print robot")
# CPack puts the summary first and indents these lines.
# CPack puts the summary first and indents these lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[Watches the administrative system's database for sales and
credit notes flagged for this register, prints each on the fiscal printer
through the vendor's driver library, and writes the fiscal numbers back.
It runs as a systemd service (robot-fiscal@INSTANCE) or with its window,
and takes the X and Z reports, the fiscal-memory report, the cash drawer
and the cancel of an open document from the command line. A simulated
fiscal printer is included for trying it without hardware.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so not found by shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser, libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/packaging/debian/postinst
  ${PROJECT_SOURCE_DIR}/packaging/debian/prerm
  ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
