# The console's translations: each language's Qt Linguist files
# (translations/*_<lang>.ts: the code's texts and the panels' texts) compiled
# by lrelease into one drive-console_<lang>.qm in the build folder's
# translations/, next to the program, where the program looks first. They are
# installed beside the program's other data (the .deb) or in the zip's
# translations/ folder, Windows with Qt's own translations for its dialogs
# (Debian's qt6-translations-l10n; the cross-built Qt has none of its own).
# lrelease is the build machine's own (qt6-l10n-tools) in both builds.
find_program(DSC_LRELEASE lrelease HINTS /usr/lib/qt6/bin "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}"
             DOC "Qt 6 lrelease (Debian: qt6-l10n-tools)" REQUIRED)
set(DSC_LANGUAGES en zh_CN)
set(DSC_QM_DIR ${CMAKE_BINARY_DIR}/translations)
set(DSC_QM_FILES)
foreach(lang ${DSC_LANGUAGES})
  file(GLOB ts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/translations/*_${lang}.ts)
  set(qm ${DSC_QM_DIR}/drive-console_${lang}.qm)
  add_custom_command(
    OUTPUT ${qm}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DSC_QM_DIR}
    COMMAND ${DSC_LRELEASE} -silent ${ts} -qm ${qm}
    DEPENDS ${ts}
    VERBATIM)
  list(APPEND DSC_QM_FILES ${qm})
endforeach()
add_custom_target(dsc_translations ALL DEPENDS ${DSC_QM_FILES})
add_dependencies(drive-console dsc_translations)
# The same files inside the program too (":/translations"), looked at last:
# a program run from anywhere (a test, a copied .exe) finds its languages.
qt_add_resources(dsc_app "translations" PREFIX "/translations" BASE ${DSC_QM_DIR} FILES ${DSC_QM_FILES})

# Qt's own texts (file dialogs, message-box buttons) for the languages that
# Debian translates; on Linux the program loads them from Qt's folder.
set(DSC_QT_QM_DIR /usr/share/qt6/translations CACHE PATH "Qt's translations (Debian: qt6-translations-l10n)")
set(DSC_QT_QM_FILES)
foreach(lang ${DSC_LANGUAGES})
  foreach(module qtbase qtserialport)
    if(EXISTS ${DSC_QT_QM_DIR}/${module}_${lang}.qm AND NOT lang STREQUAL "en")
      list(APPEND DSC_QT_QM_FILES ${DSC_QT_QM_DIR}/${module}_${lang}.qm)
    endif()
  endforeach()
endforeach()

if(WIN32)
  install(FILES ${DSC_QM_FILES} ${DSC_QT_QM_FILES} DESTINATION translations)
else()
  include(GNUInstallDirs)
  install(FILES ${DSC_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/drive-console/translations)
endif()
