# Configuration file, version check, port dialog and the worker's front, in process.
vkp_wine_test_exe(vkp_front_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/config_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/driver_version_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/port_dialog_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/install_thread_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConfigFiles.cpp
  RC Installer.rc RUN front
  LIBS vkp_installer vkp_test_program)
