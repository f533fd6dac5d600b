# make package: a Debian package of the three programs, built by CPack from
# what `install` puts in place. Run `cpack -G DEB` in the build folder.
#
# Besides the programs, the desktop file, icon and AppStream metadata (see
# src/app), it holds the manual pages (compressed, as Debian wants them), and
# under /usr/share/doc/varnelcfg the README, the guide with its pictures, the
# licence in Debian's copyright format, a changelog and README.Debian with the
# note on the dialout group.

set(VARNEL_PACKAGE_MAINTAINER "The varnelcfg developers <varnelcfg@users.noreply.github.com>"
  CACHE STRING "Name <address> in the package's Maintainer field and changelog")
set(VARNEL_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package-files)
set(VARNEL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/varnelcfg)

# Manual pages, gzip -9n (no name or time stamp, so the package is reproducible).
find_program(VARNEL_GZIP gzip REQUIRED)
set(man_pages)
foreach(program varnelcfg varnelcfg-cli varnel-emu)
  set(page ${PROJECT_SOURCE_DIR}/docs/man/${program}.1)
  set(packed ${VARNEL_PACKAGE_DIR}/${program}.1.gz)
  add_custom_command(OUTPUT ${packed}
    COMMAND ${VARNEL_GZIP} -9n -c ${page} > ${packed}
    DEPENDS ${page} VERBATIM)
  list(APPEND man_pages ${packed})
endforeach()

# A native package's changelog, dated by the build.
string(TIMESTAMP VARNEL_CHANGELOG_DATE "%a, %d %b %Y 00:00:00 +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/packaging/deb/changelog.in ${VARNEL_PACKAGE_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${VARNEL_PACKAGE_DIR}/changelog.gz
  COMMAND ${VARNEL_GZIP} -9n -c ${VARNEL_PACKAGE_DIR}/changelog > ${VARNEL_PACKAGE_DIR}/changelog.gz
  DEPENDS ${VARNEL_PACKAGE_DIR}/changelog VERBATIM)

# The licence in Debian's machine-readable copyright format: LICENSE's text,
# each line indented and blank lines as " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX REPLACE "^MIT License\n\n" "" licence "${licence}")
string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REGEX REPLACE "\n([^\n])" "\n \\1" licence "${licence}")
file(WRITE ${VARNEL_PACKAGE_DIR}/copyright
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: varnelcfg\n\n"
  "Files: *\nCopyright: 2026 The varnelcfg developers\nLicense: Expat\n\n"
  "License: Expat\n ${licence}")

add_custom_target(package_files ALL DEPENDS ${man_pages} ${VARNEL_PACKAGE_DIR}/changelog.gz)

install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/guide.md
  ${PROJECT_SOURCE_DIR}/packaging/deb/README.Debian
  ${VARNEL_PACKAGE_DIR}/copyright ${VARNEL_PACKAGE_DIR}/changelog.gz
  DESTINATION ${VARNEL_DOC_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION ${VARNEL_DOC_DIR} FILES_MATCHING PATTERN "*.png")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnelcfg)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VARNEL_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VARNEL_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure Varnel APRS position trackers and load their firmware")
# (CPack puts the summary above it as the synopsis line.)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "varnelcfg talks to the resident bootloader of a Varnel APRS position tracker
(KX8, AP64, AW60, JL16, AW32, JM60 and JM128 boards, and weather stations)
over a serial port: it reads, edits and writes the tracker's settings and
on-board script, shows its sensor readings, and loads new firmware.
.
The package holds the desktop program (varnelcfg), the same tool for
scripts and fleets (varnelcfg-cli), and an emulated tracker on a
pseudo-terminal to try them on (varnel-emu).
.
To open a serial port the user must be in the group dialout
(sudo adduser $USER dialout, then log in again).")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Depends from the programs' own libraries (dpkg-shlibdeps), not a hand list.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Directories as root:root 0755 whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
