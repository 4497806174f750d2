# Manual pages: written in scdoc beside the documentation (docs/NAME.1.scd), built with the
# program they describe and installed compressed, as Debian ships them.
find_program(SCDOC scdoc REQUIRED)
find_program(GZIP gzip REQUIRED)

# quorvel_man_page(PROGRAM): PROGRAM(1) is built whenever PROGRAM is.
function(quorvel_man_page program)
  set(source ${PROJECT_SOURCE_DIR}/docs/${program}.1.scd)
  set(page ${PROJECT_BINARY_DIR}/docs/${program}.1)
  # scdoc reads and writes the standard streams, hence the shell's redirections (no
  # VERBATIM); gzip -n keeps the time stamp out, so the same source gives the same bytes.
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/docs
    COMMAND ${SCDOC} < ${source} > ${page}
    COMMAND ${GZIP} -9nf ${page}
    DEPENDS ${source})
  add_custom_target(${program}-man DEPENDS ${page}.gz)
  add_dependencies(${program} ${program}-man)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
