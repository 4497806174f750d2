# What Debian asks of every package besides the programs: the licence in machine-readable
# form, the package's change log, and the notes for lintian on what is so by design.
set(quorvel_changelog ${PROJECT_BINARY_DIR}/packaging/changelog.Debian)
add_custom_command(
  OUTPUT ${quorvel_changelog}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog ${quorvel_changelog}
  COMMAND ${GZIP} -9nf ${quorvel_changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(debian-changelog ALL DEPENDS ${quorvel_changelog}.gz)
add_dependencies(quorvel-cli debian-changelog)

install(FILES packaging/copyright ${quorvel_changelog}.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvel)
install(FILES packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME quorvel)
