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

    # The manual page and the changelog are installed compressed, as Debian wants them,
    # without a time stamp in the gzip header so that packages build the same twice.
    # Done at configure time: no build step for it.
    foreach(name IN ITEMS kalvex.1 changelog)
        execute_process(COMMAND gzip -9 -n -c INPUT_FILE ${KALVEX_DATA}/${name}
            OUTPUT_FILE ${PROJECT_BINARY_DIR}/${name}.gz RESULT_VARIABLE gzip_result)
        if(NOT gzip_result EQUAL 0)
            message(FATAL_ERROR "Cannot compress data/${name} with gzip: ${gzip_result}")
        endif()
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KALVEX_DATA}/${name})
    endforeach()
    install(FILES ${PROJECT_BINARY_DIR}/kalvex.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

    # Debian's layout: /usr/share/doc/<package>/copyright and changelog.gz.
    install(FILES ${KALVEX_DATA}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kalvex)
else()
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
