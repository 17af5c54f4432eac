# The Windows program and its zip (cpack -G ZIP, and -G NSIS for an
# installer; tools/build-windows.sh runs both): drive-console.exe, the Qt and
# MinGW run-time DLLs it loads, the Qt plugins and a short README.

# A window of its own, no console window behind it; the commands for scripts
# write to the console they were started from.
set_target_properties(drive-console PROPERTIES WIN32_EXECUTABLE TRUE)
enable_language(RC)
configure_file(${CMAKE_SOURCE_DIR}/packaging/drive-console.rc.in ${CMAKE_BINARY_DIR}/drive-console.rc @ONLY)
target_sources(drive-console PRIVATE ${CMAKE_BINARY_DIR}/drive-console.rc)

# Where the DLLs come from: Qt's bin folder and the MinGW run-time.
find_program(DSC_MINGW_OBJDUMP NAMES x86_64-w64-mingw32-objdump REQUIRED)
find_program(DSC_MINGW_STRIP NAMES x86_64-w64-mingw32-strip REQUIRED)
get_target_property(DSC_QT_CORE_DLL Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(DSC_QT_BIN ${DSC_QT_CORE_DLL} DIRECTORY)
set(DSC_DLL_FOLDERS ${DSC_QT_BIN})
foreach(runtime libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(folder ${found} DIRECTORY)
  list(APPEND DSC_DLL_FOLDERS ${folder})
endforeach()

install(TARGETS drive-console RUNTIME DESTINATION .)
# The windows platform plugin is loaded at run time, never linked; the Vista
# style gives the program the system's look where the panels do not set their own.
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsIntegrationPlugin LIBRARY DESTINATION platforms
        RUNTIME DESTINATION platforms)
set(DSC_DEPLOYED drive-console.exe platforms/qwindows.dll)
if(TARGET Qt6::QWindowsVistaStylePlugin)
  install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsVistaStylePlugin LIBRARY DESTINATION styles
          RUNTIME DESTINATION styles)
  list(APPEND DSC_DEPLOYED styles/qwindowsvistastyle.dll)
endif()
install(CODE "
  set(DSC_OBJDUMP \"${DSC_MINGW_OBJDUMP}\")
  set(DSC_STRIP \"${DSC_MINGW_STRIP}\")
  set(DSC_DLL_FOLDERS \"${DSC_DLL_FOLDERS}\")
  set(DSC_DEPLOYED \"${DSC_DEPLOYED}\")")
install(SCRIPT ${CMAKE_SOURCE_DIR}/cmake/windows-dlls.cmake)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows-readme.txt.in ${CMAKE_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)

set(CPACK_PACKAGE_NAME drive-console)
set(CPACK_PACKAGE_VENDOR "Drive Service Console developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME drive-console-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Drive Service Console")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_GENERATOR ZIP)
set(CPACK_NSIS_DISPLAY_NAME "Drive Service Console")
set(CPACK_NSIS_PACKAGE_NAME "Drive Service Console")
set(CPACK_NSIS_INSTALLED_ICON_NAME drive-console.exe)
set(CPACK_NSIS_CREATE_ICONS_EXTRA
    "CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\Drive Service Console.lnk' '$INSTDIR\\\\drive-console.exe'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "Delete '$SMPROGRAMS\\\\$START_MENU\\\\Drive Service Console.lnk'")
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/packaging/copyright)
set(CPACK_STRIP_FILES ON)
include(CPack)
