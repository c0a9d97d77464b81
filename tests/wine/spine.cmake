# Trace log, probes, dialog layer and the installer's progress dialog, in process.
# An object library, not an archive: it supplies TraceLogFileName, which
# only the support library asks for, after the linker has passed an archive.
add_library(vkp_test_program OBJECT ${CMAKE_CURRENT_LIST_DIR}/TestProgram.cpp)
target_include_directories(vkp_test_program PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(vkp_test_program PRIVATE ${VKP_WARNINGS})
target_link_libraries(vkp_test_program PUBLIC vkp_support vkp_ui gtest)

vkp_installer_test_exe(vkp_spine_tests spine
  tracelog_test.cpp probes_test.cpp dialog_layer_test.cpp installer_dialog_test.cpp TestDialogs.rc)

# The probes against Wine's own version settings (win7 and win2008r2 are
# swapped in Wine 8: win7 reports the server product type).
foreach(row
    "win32 nt40 2003" "win32 win2k 2004" "win32 winxp 2005" "win32 win2003 2006"
    "win32 vista 2007" "win32 win2008 2008" "win32 win7 2009" "win32 win2008r2 2010"
    "win32 win10 2010" "win64 win2003 2006" "win64 vista 2007" "win64 win7 2009"
    "win64 win2008r2 2010" "win64 win10 2010")
  separate_arguments(fields UNIX_COMMAND "${row}")
  list(GET fields 0 arch)
  list(GET fields 1 version)
  list(GET fields 2 code)
  vkp_wine_test(probes.${arch}.${version} EXE vkp_spine_tests ARCH ${arch} VERSION ${version}
    FILTER "RealProbes.*" ENV "VKP_EXPECTED_OS_CODE=${code}")
endforeach()

# An installation engine wired as the progress dialog wires it.
vkp_library(vkp_engine_harness ${CMAKE_CURRENT_LIST_DIR}/EngineHarness.cpp TESTS_ONLY)
target_link_libraries(vkp_engine_harness PUBLIC vkp_installer vkp_test_program)

vkp_wine_test_exe(vkp_trace_fresh_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/tracelog_fresh_test.cpp LIBS vkp_test_program)
vkp_wine_test(trace_fresh.win32 EXE vkp_trace_fresh_tests ARCH win32 VERSION winxp)
