# The Windows program and its zip (cpack -G ZIP, and -G NSIS for an
# installer; tools/build-windows.sh runs both): drive-console.exe, the Qt and
# MinGW run-time DLLs it loads, the Qt plugins and a short README.

# A window of its own, no console window behind it; the commands for scripts
# write to the console they were started from.
set_target_properties(drive-console PROPERTIES WIN32_EXECUTABLE TRUE)
enable_language(RC)
configure_file(${CMAKE_SOURCE_DIR}/packaging/drive-console.rc.in ${CMAKE_BINARY_DIR}/drive-console.rc @ONLY)
target_sources(drive-console PRIVATE ${CMAKE_BINARY_DIR}/drive-console.rc)

# Which DLLs the program needs is read from the files themselves, with the
# cross toolchain's objdump.
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM "windows+pe")
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL "objdump")
find_program(DSC_MINGW_OBJDUMP NAMES ${CMAKE_CXX_COMPILER_TARGET}-objdump x86_64-w64-mingw32-objdump REQUIRED)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${DSC_MINGW_OBJDUMP})

# Where the DLLs come from: Qt's bin folder and the MinGW run-time.
get_target_property(DSC_QT_CORE_DLL Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(DSC_QT_BIN ${DSC_QT_CORE_DLL} DIRECTORY)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE DSC_LIBSTDCXX OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(DSC_GCC_RUNTIME ${DSC_LIBSTDCXX} DIRECTORY)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
                OUTPUT_VARIABLE DSC_WINPTHREAD OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(DSC_THREAD_RUNTIME ${DSC_WINPTHREAD} DIRECTORY)
set(DSC_DLL_FOLDERS ${DSC_QT_BIN} ${DSC_GCC_RUNTIME} ${DSC_THREAD_RUNTIME} /usr/x86_64-w64-mingw32/lib)

install(TARGETS drive-console RUNTIME_DEPENDENCY_SET dsc_dlls RUNTIME DESTINATION .)
# The windows platform plugin is loaded at run time, never linked; the Vista
# style gives the program the system's look.
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsIntegrationPlugin RUNTIME_DEPENDENCY_SET dsc_dlls
        RUNTIME DESTINATION platforms LIBRARY DESTINATION platforms)
if(TARGET Qt6::QWindowsVistaStylePlugin)
  install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsVistaStylePlugin RUNTIME_DEPENDENCY_SET dsc_dlls
          RUNTIME DESTINATION styles LIBRARY DESTINATION styles)
endif()
install(RUNTIME_DEPENDENCY_SET dsc_dlls DESTINATION .
        DIRECTORIES ${DSC_DLL_FOLDERS}
        # What every Windows has: the system's own DLLs and API sets.
        PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-"
        POST_INCLUDE_REGEXES "^${DSC_QT_BIN}/" "^${DSC_GCC_RUNTIME}/" "^${DSC_THREAD_RUNTIME}/"
        POST_EXCLUDE_REGEXES ".*")
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
