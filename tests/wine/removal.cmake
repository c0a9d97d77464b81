# The removal engine in process: the uninstaller's and the installer's
# sequences through the platform seam, and against Wine's own spooler. Each
# program's string table comes with its own test program.
vkp_wine_test_exe(vkp_removal_uninstaller_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/removal_uninstaller_test.cpp
    ${PROJECT_SOURCE_DIR}/resources/Uninstaller.rc
  LIBS vkp_removal vkp_test_program)
target_include_directories(vkp_removal_uninstaller_tests PRIVATE ${PROJECT_SOURCE_DIR}/resources ${CMAKE_CURRENT_LIST_DIR})

vkp_wine_test_exe(vkp_removal_installer_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/removal_installer_test.cpp
    ${PROJECT_SOURCE_DIR}/resources/Installer.rc
  LIBS vkp_removal vkp_test_program)
target_include_directories(vkp_removal_installer_tests PRIVATE ${PROJECT_SOURCE_DIR}/resources ${CMAKE_CURRENT_LIST_DIR})

foreach(program uninstaller installer)
  vkp_wine_test(removal.${program}.win64 EXE vkp_removal_${program}_tests ARCH win64 VERSION win10)
  vkp_wine_test(removal.${program}.win32 EXE vkp_removal_${program}_tests ARCH win32 VERSION winxp)
endforeach()
# The Vista branch of the INF removal on a 32-bit system.
vkp_wine_test(removal.uninstaller.win32.vista EXE vkp_removal_uninstaller_tests ARCH win32 VERSION vista
  FILTER "InfStore.*")
