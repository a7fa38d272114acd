# Install rules and the Debian package. The desktop integration files live in
# desktop/; those that carry the version are configured from *.in files here.
include(GNUInstallDirs)

set(KINOVKA_MAINTAINER "Kinovka maintainers <maintainers@users.noreply.c-seed-f18a6bc8.example>")
# The changelog's date is the release's, not the build's, so that two builds of
# one version give the same package.
execute_process(COMMAND date -u -R -d "${KINOVKA_RELEASE_DATE}"
                OUTPUT_VARIABLE KINOVKA_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)

set(desktop ${CMAKE_SOURCE_DIR}/desktop)
set(generated ${CMAKE_BINARY_DIR}/desktop)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

foreach(target kinovka kinovka-cli)
  if(TARGET ${target})
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# The application's ID names the desktop entry and the metainfo alike.
set(app_id example.kinovka.Kinovka)
configure_file(${desktop}/${app_id}.metainfo.xml.in ${generated}/${app_id}.metainfo.xml @ONLY)
install(FILES ${generated}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
if(TARGET kinovka)
  install(FILES ${desktop}/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${desktop}/kinovka.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${desktop}/icons/kinovka-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME kinovka.png)
  endforeach()
endif()
install(FILES ${desktop}/kinovka-cli.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME kinovka-cli)

# Manual pages and the changelog go compressed, as Debian keeps them; gzip -n
# leaves out the time stamp, so that the package is reproducible. The manual
# pages come in English (desktop/) and in Czech (desktop/cs/).
set(compressed)
foreach(page kinovka.1 kinovka-cli.1 changelog cs/kinovka.1 cs/kinovka-cli.1)
  configure_file(${desktop}/${page}.in ${generated}/${page} @ONLY)
  add_custom_command(OUTPUT ${generated}/${page}.gz
                     COMMAND gzip -9nc ${generated}/${page} > ${generated}/${page}.gz
                     DEPENDS ${generated}/${page} VERBATIM)
  list(APPEND compressed ${generated}/${page}.gz)
endforeach()
add_custom_target(kinovka_installed_pages ALL DEPENDS ${compressed})
foreach(language "" cs/)
  if(TARGET kinovka)
    install(FILES ${generated}/${language}kinovka.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${language}man1)
  endif()
  install(FILES ${generated}/${language}kinovka-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${language}man1)
endforeach()

set(doc ${CMAKE_INSTALL_DATADIR}/doc/kinovka)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${desktop}/copyright ${generated}/changelog.gz DESTINATION ${doc})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${doc}/docs)

# The Debian package: scripts/package.sh builds it with these settings.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kinovka)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT ${KINOVKA_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KINOVKA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libzip is opened only when a zip file is imported, and ICU when text is first
# collated or upper-cased, so the shared-library check cannot see them.
string(REGEX REPLACE "^libzip\\.so\\." "libzip" libzip_package "${KINOVKA_LIBZIP_SONAME}")
string(REGEX REPLACE "^libicui18n\\.so\\." "libicu" icu_package "${KINOVKA_ICU_I18N_SONAME}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${libzip_package}, ${icu_package}")
# Qt's own dialogs (the save dialog of the list window) speak Czech with these.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue of films kept on CDs, with a Czech user interface")
# The summary above is the description's first line; this is the rest of it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kinovka keeps a catalogue of the films on your CDs: English and Czech
title, CD number, audio language, subtitles, number of discs and a note.
Films are added, corrected, deleted, sorted, searched and listed in one
window; every change is saved to the catalogue file at once.
.
The package also holds kinovka-cli, which works on the same catalogue
files from the command line: listing, searching, changing, CSV and web
page export, versions and rescue of damaged files.")
include(CPack)
