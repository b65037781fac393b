# Runs inside cpack, after the files were installed into the staging folder and
# before the .deb is made: what Debian wants of every package beyond the program.
# The man pages are compressed, and /usr/share/doc/vorpex gets the copyright file
# and a changelog.
set(root "${CPACK_TEMPORARY_DIRECTORY}")
if(NOT EXISTS "${root}/usr")
  # One level down when cpack stages per package.
  file(GLOB root LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
endif()
set(usr "${root}/usr")
if(NOT IS_DIRECTORY "${usr}")
  message(FATAL_ERROR "no staged /usr under ${CPACK_TEMPORARY_DIRECTORY}")
endif()

find_program(GZIP gzip REQUIRED)
file(GLOB man_pages "${usr}/share/man/man*/*.[1-9]")
foreach(page IN LISTS man_pages)
  # -n: no name or time stamp in the archive, so equal builds give equal packages.
  execute_process(COMMAND ${GZIP} -9nf "${page}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

set(doc "${usr}/share/doc/${CPACK_PACKAGE_NAME}")
file(MAKE_DIRECTORY "${doc}")
file(COPY_FILE "${VPX_DEBIAN_COPYRIGHT}" "${doc}/copyright")
string(TIMESTAMP when "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE "${doc}/changelog"
  "${CPACK_PACKAGE_NAME} (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium\n\n"
  "  * Built from the Vorpex sources.\n\n"
  " -- ${VPX_DEBIAN_MAINTAINER}  ${when}\n")
execute_process(COMMAND ${GZIP} -9nf "${doc}/changelog" COMMAND_ERROR_IS_FATAL ANY)
