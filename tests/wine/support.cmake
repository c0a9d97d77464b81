# The support library in process: registry key removal with the access
# override, and the shared system helpers (restart, directory tree, USB devices).
foreach(exe registry helpers)
  vkp_wine_test_exe(vkp_support_${exe}_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/support_${exe}_test.cpp
    RUN support.${exe}
    LIBS vkp_support)
endforeach()
