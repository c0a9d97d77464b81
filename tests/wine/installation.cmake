# The installation sequences and spooler registrations, in process.
vkp_wine_test_exe(vkp_installation_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/installation_sequence_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FakeSpooler.cpp
    ${PROJECT_SOURCE_DIR}/resources/Installer.rc
  LIBS vkp_engine_harness)
target_include_directories(vkp_installation_tests PRIVATE ${PROJECT_SOURCE_DIR}/resources ${CMAKE_CURRENT_LIST_DIR})
vkp_wine_test(installation.win64 EXE vkp_installation_tests ARCH win64 VERSION win10)
vkp_wine_test(installation.win32 EXE vkp_installation_tests ARCH win32 VERSION winxp)
