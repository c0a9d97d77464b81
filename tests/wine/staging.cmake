# File staging, uninstall registration, INF store and clean-up steps, in process.
vkp_wine_test_exe(vkp_staging_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/staging_files_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/staging_registry_test.cpp
    ${PROJECT_SOURCE_DIR}/resources/Installer.rc
  LIBS vkp_installer vkp_test_program vkp_engine_harness)
target_include_directories(vkp_staging_tests PRIVATE ${PROJECT_SOURCE_DIR}/resources ${CMAKE_CURRENT_LIST_DIR})

vkp_wine_test(staging.win64 EXE vkp_staging_tests ARCH win64 VERSION win10)
vkp_wine_test(staging.win32 EXE vkp_staging_tests ARCH win32 VERSION winxp)
