# The support library in process: registry key removal with the access
# override, and the shared system helpers (restart, directory tree, USB devices).
vkp_wine_test_exe(vkp_support_registry_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/support_registry_test.cpp
  LIBS vkp_support)
vkp_wine_test_exe(vkp_support_helpers_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/support_helpers_test.cpp
  LIBS vkp_support)

foreach(exe registry helpers)
  vkp_wine_test(support.${exe}.win64 EXE vkp_support_${exe}_tests ARCH win64 VERSION win10)
  vkp_wine_test(support.${exe}.win32 EXE vkp_support_${exe}_tests ARCH win32 VERSION winxp)
endforeach()
