# Installation layout and the Debian package.
#
#   cmake --install <build> --prefix P   lays the game out as
#     P/lib/trabel/trabel                    the executable, with the data tree beside it
#                                            (idioma/, sonidos/, graficos/, fondo.jpg, ...):
#                                            the game finds its data in the folder of its executable
#     P/bin/trabel                           relative symlink to ../lib/trabel/trabel
#                                            (P/games/trabel with -DTRABEL_INSTALL_BINDIR=games,
#                                            as Debian wants games; scripts/deb-test does so)
#     P/share/applications/<id>.desktop      menu entry
#     P/share/icons/hicolor/*/apps/<id>.*    the icon, as SVG and as PNGs rendered at build time
#     P/share/metainfo/<id>.metainfo.xml     AppStream description for software centres
#     P/share/man/man6/trabel.6.gz           manual page
#     P/share/doc/trabel/                    licence, credits, copyright (machine-readable)
#                                            and changelog.gz
#
#   cpack -G DEB (in the build folder)    makes trabel_<version>_<arch>.deb installing under /usr.

set(TRABEL_APP_ID org.example.Trabel)
set(TRABEL_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(TRABEL_ICON_SIZES 16 32 48 64 128 256)

# Install paths, relative to the prefix. The symlink in bin/ assumes lib/trabel sits beside it.
set(TRABEL_INSTALL_APPDIR lib/trabel)
set(TRABEL_INSTALL_BINDIR bin CACHE STRING "Folder under the prefix for the command (bin or games)")
set(TRABEL_INSTALL_DATAROOT share)

# --- The game and its data ------------------------------------------------------------------
install(TARGETS trabel RUNTIME DESTINATION ${TRABEL_INSTALL_APPDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${TRABEL_INSTALL_APPDIR})

# The command on the PATH: a relative symlink, made once in the build folder and installed as is
# (file(INSTALL) keeps symlinks), so it also works under DESTDIR and inside the package.
set(TRABEL_LINK_DIR ${CMAKE_BINARY_DIR}/packaging/bin)
file(MAKE_DIRECTORY ${TRABEL_LINK_DIR})
file(CREATE_LINK ../lib/trabel/trabel ${TRABEL_LINK_DIR}/trabel SYMBOLIC)
install(FILES ${TRABEL_LINK_DIR}/trabel DESTINATION ${TRABEL_INSTALL_BINDIR})

# --- Desktop integration --------------------------------------------------------------------
install(FILES ${TRABEL_PACKAGING_DIR}/${TRABEL_APP_ID}.desktop
        DESTINATION ${TRABEL_INSTALL_DATAROOT}/applications)
install(FILES ${TRABEL_PACKAGING_DIR}/${TRABEL_APP_ID}.metainfo.xml
        DESTINATION ${TRABEL_INSTALL_DATAROOT}/metainfo)

# The manual page and the changelog are installed compressed, without a time stamp inside (-n), so
# the package is the same from one build to the next.
find_program(TRABEL_GZIP gzip REQUIRED)
set(TRABEL_GZ_DIR ${CMAKE_BINARY_DIR}/packaging/gz)
set(trabel_gz_files)
foreach(source trabel.6 changelog)
    set(gz ${TRABEL_GZ_DIR}/${source}.gz)
    add_custom_command(
        OUTPUT ${gz}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${TRABEL_GZ_DIR}
        COMMAND sh -c "'${TRABEL_GZIP}' -9nc '${TRABEL_PACKAGING_DIR}/${source}' > '${gz}'"
        DEPENDS ${TRABEL_PACKAGING_DIR}/${source}
        COMMENT "Compressing ${source}"
        VERBATIM)
    list(APPEND trabel_gz_files ${gz})
endforeach()
add_custom_target(trabel_compressed_docs ALL DEPENDS ${trabel_gz_files})
install(FILES ${TRABEL_GZ_DIR}/trabel.6.gz DESTINATION ${TRABEL_INSTALL_DATAROOT}/man/man6)
install(FILES ${TRABEL_GZ_DIR}/changelog.gz ${TRABEL_PACKAGING_DIR}/copyright
        DESTINATION ${TRABEL_INSTALL_DATAROOT}/doc/trabel)

# Icons: the SVG is the source; every PNG size is rendered from it at build time.
find_program(TRABEL_RSVG_CONVERT rsvg-convert)
if(NOT TRABEL_RSVG_CONVERT)
    message(FATAL_ERROR "rsvg-convert not found: it renders the icon's PNG sizes. "
                        "Install Debian's package librsvg2-bin (scripts/install-deps does).")
endif()

set(TRABEL_ICON_SVG ${TRABEL_PACKAGING_DIR}/${TRABEL_APP_ID}.svg)
set(TRABEL_ICON_BUILD_DIR ${CMAKE_BINARY_DIR}/packaging/icons)
set(trabel_icon_pngs)
foreach(size IN LISTS TRABEL_ICON_SIZES)
    set(png ${TRABEL_ICON_BUILD_DIR}/${size}x${size}/apps/${TRABEL_APP_ID}.png)
    add_custom_command(
        OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${TRABEL_ICON_BUILD_DIR}/${size}x${size}/apps
        COMMAND ${TRABEL_RSVG_CONVERT} --width=${size} --height=${size} --format=png
                --output=${png} ${TRABEL_ICON_SVG}
        DEPENDS ${TRABEL_ICON_SVG}
        COMMENT "Rendering the ${size}x${size} icon"
        VERBATIM)
    list(APPEND trabel_icon_pngs ${png})
    install(FILES ${png}
            DESTINATION ${TRABEL_INSTALL_DATAROOT}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(trabel_icons ALL DEPENDS ${trabel_icon_pngs})
install(FILES ${TRABEL_ICON_SVG} DESTINATION ${TRABEL_INSTALL_DATAROOT}/icons/hicolor/scalable/apps)

# --- Licence and credits --------------------------------------------------------------------
foreach(doc LICENSE CREDITS.md)
    if(EXISTS ${PROJECT_SOURCE_DIR}/${doc})
        install(FILES ${PROJECT_SOURCE_DIR}/${doc} DESTINATION ${TRABEL_INSTALL_DATAROOT}/doc/trabel)
    endif()
endforeach()

# --- Check of the installed layout (ctest) --------------------------------------------------
if(TRABEL_BUILD_TESTS)
    add_test(NAME packaging.install
             COMMAND ${PROJECT_SOURCE_DIR}/tests/packaging/check-install.sh
                     ${CMAKE_BINARY_DIR} ${TRABEL_APP_ID} ${PROJECT_VERSION})
    set_tests_properties(packaging.install PROPERTIES
        TIMEOUT 180
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;QT_LOGGING_RULES=qt.qpa.*=false")
endif()

# --- Debian package (cpack -G DEB) ----------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trabel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Trabel developers")
set(CPACK_PACKAGE_CONTACT "Trabel developers <equipo@trabel.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "memory card game for one or two players")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
    set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Trabel developers <equipo@trabel.example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://trabel.example.org/")
# Shared libraries come from dpkg-shlibdeps: among them libheif1, which brings the HEVC and AV1
# decoders (libde265-0, libdav1d6) for HEIC and AVIF, and libexif12. WebP and TIFF are read by
# Qt's image plugins, which nothing links. The interface asks for Arial, which fontconfig maps
# to Liberation Sans. Qt's Spanish texts (message box buttons) are nice to have.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The long text of the description; CPack puts CPACK_PACKAGE_DESCRIPTION_SUMMARY above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Trabel is the game of pairs: the cards lie face down, you turn two of them
up, and if they show the same picture you keep the pair. Play alone and
clear the board in as few attempts as you can, or take turns with a friend
on the same computer: whoever finds more pairs wins.
.
Three picture sets come with the game (animals, food and objects), and
players can add their own in ~/.local/share/trabel/graficos/. The
interface is in Spanish.")

include(CPack)
