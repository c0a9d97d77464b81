# The support library in process: registry key removal with the access
# override, and the shared system helpers (restart, directory tree, USB devices).
foreach(exe registry helpers)
  vkp_wine_test_exe(vkp_support_${exe}_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/support_${exe}_test.cpp
    RUN support.${exe}
    LIBS vkp_support)
endforeach()

# The programs' own way out when the runtime cannot go on, with their
# replacements of the allocation operators and throw helpers linked in.
vkp_wine_test_exe(vkp_runtime_ends_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/runtime_ends_test.cpp ${PROJECT_SOURCE_DIR}/ui/RuntimeEnds.cpp
  RUN support.runtime_ends LIBS vkp_support)
# gtest needs other throw helpers of the same runtime object: ours come first.
target_link_options(vkp_runtime_ends_tests PRIVATE -Wl,--allow-multiple-definition)
