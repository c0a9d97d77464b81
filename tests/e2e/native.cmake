# End-to-end driver (Linux): starts the Windows programs under Wine in
# isolated prefixes and drives them with the UI robot. Included by
# tests/native/CMakeLists.txt; registered with ctest by tests/e2e/CMakeLists.txt.
set(VKP_E2E_DIR ${VKP_ROOT}/tests/e2e)
add_library(vkp_e2e_driver STATIC
  ${VKP_E2E_DIR}/Process.cpp
  ${VKP_E2E_DIR}/WinePrefix.cpp
  ${VKP_E2E_DIR}/Robot.cpp
  ${VKP_E2E_DIR}/LayoutCheck.cpp)
target_include_directories(vkp_e2e_driver PUBLIC ${VKP_ROOT})
target_compile_definitions(vkp_e2e_driver PUBLIC VKP_DEFAULT_SOURCE_DIR="${VKP_ROOT}")
target_compile_options(vkp_e2e_driver PRIVATE ${VKP_SANITIZE} ${VKP_NATIVE_WARNINGS})
target_link_options(vkp_e2e_driver PUBLIC ${VKP_SANITIZE})

file(GLOB VKP_E2E_TESTS CONFIGURE_DEPENDS ${VKP_E2E_DIR}/*_test.cpp)
add_executable(vkp_e2e ${VKP_E2E_DIR}/e2e_main.cpp ${VKP_E2E_DIR}/InstallerSession.cpp
  ${VKP_E2E_DIR}/Residue.cpp ${VKP_E2E_TESTS})
target_compile_options(vkp_e2e PRIVATE ${VKP_SANITIZE} ${VKP_NATIVE_WARNINGS})
target_link_libraries(vkp_e2e PRIVATE vkp_e2e_driver gtest)
