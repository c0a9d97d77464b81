# File staging, uninstall registration, INF store and clean-up steps, in process.
vkp_wine_test_exe(vkp_staging_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/staging_files_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/staging_registry_test.cpp
  RC Installer.rc RUN staging
  LIBS vkp_installer vkp_test_program vkp_engine_harness)
