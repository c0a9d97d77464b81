# Configuration file, version check, port dialog and the worker's front, in process.
vkp_wine_test_exe(vkp_front_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/config_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/driver_version_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/port_dialog_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/install_thread_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConfigFiles.cpp
    ${PROJECT_SOURCE_DIR}/resources/Installer.rc
  LIBS vkp_installer vkp_test_program)
target_include_directories(vkp_front_tests PRIVATE ${PROJECT_SOURCE_DIR}/resources ${CMAKE_CURRENT_LIST_DIR})

vkp_wine_test(front.win64 EXE vkp_front_tests ARCH win64 VERSION win10)
vkp_wine_test(front.win32 EXE vkp_front_tests ARCH win32 VERSION winxp)
