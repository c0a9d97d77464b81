# Driver package and test stand-ins under Wine. These tests need the folder
# that scripts/build-package assembles (build/dist/VKPM200) and the
# stand-ins it builds; the package_build fixture runs it first. Each test
# case runs in its own prefix clone (stand-ins installed by the runner).
set(VKP_PACKAGE_RUNNER ${CMAKE_CURRENT_LIST_DIR}/run-package-test)

add_test(NAME package_build COMMAND ${CMAKE_CURRENT_LIST_DIR}/../../scripts/build-package)
set_tests_properties(package_build PROPERTIES FIXTURES_SETUP vkp_package LABELS "package;host")
vkp_test_settings(600 package_build)

function(vkp_package_exe name)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE ${VKP_WARNINGS})
  target_compile_definitions(${name} PRIVATE UNICODE _UNICODE)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_LIST_DIR} ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE gtest gtest_main winspool setupapi advapi32)
  target_link_options(${name} PRIVATE ${VKP_STATIC_LINK})
endfunction()

vkp_package_exe(package_files_test ${CMAKE_CURRENT_LIST_DIR}/package_files_test.cpp)
vkp_package_exe(package_printui_test ${CMAKE_CURRENT_LIST_DIR}/package_printui_test.cpp)

set(VKP_PACKAGE_CASES
  "package_files_test:PackageInf.*"
  "package_files_test:PackageDlls.*"
  "package_printui_test:PrintUiStandIn.InstallsDriverMonitorProcessorAndInf"
  "package_printui_test:PrintUiStandIn.AddsPrinterOnComPortWithItsProcessor"
  "package_printui_test:PrintUiStandIn.AddsPrinterOnTheTcpIpPortWithInstalledDriver"
  "package_printui_test:PrintUiStandIn.UseInstalledNeedsAnInstalledDriver"
  "package_printui_test:PrintUiStandIn.UseInstalledFallsBackToTheInfAndATakenNameGetsACopyNumber"
  "package_printui_test:PrintUiStandIn.OptionsAreExactAndAFailureWithoutQuietWouldWait"
  "package_printui_test:PrintUiStandIn.TheThirtyTwoBitCopyInstallsForX86Only"
  "package_printui_test:PrintUiStandIn.BadArgumentsFail"
  "package_printui_test:TcpIpStandIn.*"
  "package_printui_test:PrintJob.*")

foreach(cfg "win64;win10" "win32;win7" "win32;vista")
  list(GET cfg 0 arch)
  list(GET cfg 1 ver)
  foreach(case ${VKP_PACKAGE_CASES})
    string(REPLACE ":" ";" parts "${case}")
    list(GET parts 0 exe)
    list(GET parts 1 filter)
    string(REGEX REPLACE "[.*]+" "_" tag "${filter}")
    string(REGEX REPLACE "_$" "" tag "${tag}")
    set(name package_${tag}_${arch}_${ver})
    add_test(NAME ${name} COMMAND ${VKP_PACKAGE_RUNNER} ${arch} ${ver} $<TARGET_FILE:${exe}> --gtest_filter=${filter})
    set_tests_properties(${name} PROPERTIES LABELS "wine;package" FIXTURES_REQUIRED vkp_package)
    vkp_test_settings(300 ${name})
  endforeach()
endforeach()
