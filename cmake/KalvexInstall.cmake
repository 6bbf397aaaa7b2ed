# What `cmake --install` puts in place: the program and, on free desktops, its menu entry,
# AppStream metainfo, icons, the MIME type of split manifests, the manual page and the
# licence. The desktop file, metainfo, MIME file and icons all carry the application id
# so that software centres and menus can tie them together.
include(GNUInstallDirs)

set(KALVEX_APP_ID org.kalvex.Kalvex)
set(KALVEX_DATA ${PROJECT_SOURCE_DIR}/data)

install(TARGETS kalvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(UNIX AND NOT APPLE)
    install(FILES ${KALVEX_DATA}/${KALVEX_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${KALVEX_DATA}/${KALVEX_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${KALVEX_DATA}/${KALVEX_APP_ID}.mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${KALVEX_APP_ID}.xml)

    install(FILES ${KALVEX_DATA}/icons/${KALVEX_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size IN ITEMS 16 24 32 48 64 128 256)
        install(FILES ${KALVEX_DATA}/icons/${KALVEX_APP_ID}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${KALVEX_APP_ID}.png)
    endforeach()

    # Manual pages are installed compressed, without a time stamp in the gzip header so
    # that packages build the same twice. Done at configure time: no build step for it.
    set(manual ${PROJECT_BINARY_DIR}/kalvex.1.gz)
    execute_process(COMMAND gzip -9 -n -c INPUT_FILE ${KALVEX_DATA}/kalvex.1
        OUTPUT_FILE ${manual} RESULT_VARIABLE gzip_result)
    if(NOT gzip_result EQUAL 0)
        message(FATAL_ERROR "Cannot compress the manual page with gzip: ${gzip_result}")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KALVEX_DATA}/kalvex.1)
    install(FILES ${manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

    # Debian's layout for the licence: /usr/share/doc/<package>/copyright.
    install(FILES ${KALVEX_DATA}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kalvex)
else()
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
