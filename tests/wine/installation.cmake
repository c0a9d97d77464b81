# The installation sequences and spooler registrations, in process.
vkp_wine_test_exe(vkp_installation_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/installation_sequence_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FakeSpooler.cpp
  RC Installer.rc RUN installation
  LIBS vkp_engine_harness vkp_test_program)
