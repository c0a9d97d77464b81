# Configuration file, version check, port dialog and the worker's front, in process.
vkp_installer_test_exe(vkp_front_tests front
  config_file_test.cpp driver_version_test.cpp port_dialog_test.cpp install_thread_test.cpp ConfigFiles.cpp)
