# Installing and the Debian package (cpack -G DEB in the build folder). Everything lands under one prefix, since the
# installed program finds its data folder relative to itself: the game in games/, its data, a menu entry and AppStream
# metadata with the icon, a manual page, and the documents a Debian package carries. The tools and benchmarks are for
# developers and stay in the build folder.

set(KELVARA_APP_ID org.kelvara_golf.KelvaraGolf)
set(KELVARA_MAINTAINER "Kelvara Golf developers <developers@kelvara-golf.org>")
set(KELVARA_SUMMARY "minigolf race against the clock")
set(packaging_source "${CMAKE_CURRENT_LIST_DIR}")
set(packaging_build "${CMAKE_BINARY_DIR}/packaging")
file(MAKE_DIRECTORY "${packaging_build}") # help2man writes here before anything else may have made it
set(doc_folder "${CMAKE_INSTALL_DATAROOTDIR}/doc/kelvara-golf")

find_program(HELP2MAN_EXECUTABLE help2man)
find_program(GZIP_EXECUTABLE gzip)
if(NOT HELP2MAN_EXECUTABLE OR NOT GZIP_EXECUTABLE)
  message(FATAL_ERROR "The manual page needs help2man and gzip; bash scripts/install-deps.sh installs them.")
endif()

# The manual page is written from the built program's own --help and --version, so it never drifts from them.
add_custom_command(OUTPUT "${packaging_build}/kelvara-golf.6.gz"
  COMMAND "${HELP2MAN_EXECUTABLE}" --section=6 "--name=${KELVARA_SUMMARY}"
          "--include=${packaging_source}/kelvara-golf.h2m" --no-info "--output=${packaging_build}/kelvara-golf.6" "$<TARGET_FILE:kelvara-golf>"
  COMMAND "${GZIP_EXECUTABLE}" -9nf "${packaging_build}/kelvara-golf.6"
  DEPENDS kelvara-golf "${packaging_source}/kelvara-golf.h2m"
  COMMENT "Writing the manual page from kelvara-golf --help"
  VERBATIM)
# -n leaves out the name and time stamp, so the same changelog always packs to the same bytes.
add_custom_command(OUTPUT "${packaging_build}/changelog.gz"
  COMMAND "${CMAKE_COMMAND}" -E copy "${packaging_source}/changelog" "${packaging_build}/changelog"
  COMMAND "${GZIP_EXECUTABLE}" -9nf "${packaging_build}/changelog"
  DEPENDS "${packaging_source}/changelog"
  VERBATIM)
add_custom_target(kelvara-golf-docs ALL
  DEPENDS "${packaging_build}/kelvara-golf.6.gz" "${packaging_build}/changelog.gz")

# Resolves every symbol at start-up so the relocations can be made read-only, as Debian's own builds do.
target_link_options(kelvara-golf PRIVATE LINKER:-z,relro,-z,now)

install(TARGETS kelvara-golf RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY "${KELVARA_DATA_DIR}/" DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvara-golf PATTERN "user.ini" EXCLUDE)

# The menu entry names the program by its installed path, which is known only when installing (--prefix, cpack):
# games/ is on the path on Debian, but not under a prefix such as ~/.local.
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
  set(installed_program "${CMAKE_INSTALL_BINDIR}/kelvara-golf")
else()
  set(installed_program "\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/kelvara-golf")
endif()
install(CODE "
  set(KELVARA_INSTALLED_PROGRAM \"${installed_program}\")
  if(KELVARA_INSTALLED_PROGRAM MATCHES \" \")
    set(KELVARA_INSTALLED_PROGRAM \"\\\"\${KELVARA_INSTALLED_PROGRAM}\\\"\")
  endif()
  configure_file(\"${packaging_source}/${KELVARA_APP_ID}.desktop.in\" \"${packaging_build}/${KELVARA_APP_ID}.desktop\"
                 @ONLY)")
install(FILES "${packaging_build}/${KELVARA_APP_ID}.desktop" DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${packaging_source}/${KELVARA_APP_ID}.metainfo.xml" DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
foreach(size 16 32 48 64 128 256)
  install(FILES "${KELVARA_DATA_DIR}/Icons/kelvara-golf-${size}.png"
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${KELVARA_APP_ID}.png)
endforeach()
install(FILES "${packaging_build}/kelvara-golf.6.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# The copyright file carries the licence text, so LICENSE itself is not installed twice.
install(FILES "${CMAKE_SOURCE_DIR}/README.md" "${packaging_source}/copyright" "${packaging_build}/changelog.gz"
        DESTINATION ${doc_folder})

set(CPACK_PACKAGE_NAME kelvara-golf)
set(CPACK_PACKAGE_VENDOR "The Kelvara Golf developers")
set(CPACK_PACKAGE_CONTACT "${KELVARA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${KELVARA_SUMMARY}")
# Debian shows these lines as they are, so each stays within 79 characters.
set(CPACK_PACKAGE_DESCRIPTION [[
Steer a golf ball over a hilly course: turn the camera around it with the
mouse and push it along your view with a limited boost. Eight checkpoints
add time and boost on the way to the goal beside the flag, and a 20-second
countdown decides the race.

The course is drawn with OpenGL 3.3 and the ball rolls under Bullet physics,
with its sounds placed in 3D. Play with mouse and keyboard or a game
controller; the game keeps your fastest race on each course.
]])
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KELVARA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kelvara-golf.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The game ships stripped; the build folder's program keeps its debug information. (CPack's own -dbgsym package
# lists its file under the staging folder in md5sums, which lintian rightly rejects.)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
