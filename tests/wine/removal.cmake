# The removal engine in process: the uninstaller's and the installer's
# sequences through the platform seam, and against Wine's own spooler. Each
# program's string table comes with its own test program.
foreach(program Uninstaller Installer)
  string(TOLOWER ${program} lower)
  vkp_wine_test_exe(vkp_removal_${lower}_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/removal_${lower}_test.cpp
    RC ${program}.rc RUN removal.${lower}
    LIBS vkp_removal vkp_test_program)
endforeach()
# The Vista branch of the INF removal on a 32-bit system.
vkp_wine_test(removal.uninstaller.win32.vista EXE vkp_removal_uninstaller_tests ARCH win32 VERSION vista
  FILTER "InfStore.*")
