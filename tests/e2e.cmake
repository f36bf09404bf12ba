# Real-window checks: shell scripts in tests/e2e/ start portable copies of the built
# program under a private Xvfb, drive them with xdotool, kill and restart them and look
# at the data file, the configuration file and screenshots. Labelled "e2e", so that
# `ctest -L e2e` runs only them and `ctest -LE e2e` leaves them out.
#
# CTest does not build anything, so a setup step brings the program and its pictures up
# to date first; every check requires it. Screenshots go to build/e2e-shots/<check>/.
add_test(NAME e2e_program_built
  COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target jotterly jotterly_runtime_files)
set_tests_properties(e2e_program_built PROPERTIES
  LABELS e2e
  TIMEOUT 900
  FIXTURES_SETUP jotterly_e2e_program)

foreach(check first_start second_instance kill_restart type_memo_kill screenshot_views backup_restore
    tray_host tray_none save_all_html update_reminder)
  add_test(NAME e2e_${check}
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${check}.sh $<TARGET_FILE:jotterly>)
  set_tests_properties(e2e_${check} PROPERTIES
    LABELS e2e
    TIMEOUT 60
    FIXTURES_REQUIRED jotterly_e2e_program
    ENVIRONMENT "E2E_OUTPUT_DIR=${CMAKE_BINARY_DIR}/e2e-shots/${check}")
endforeach()

# The installation and the Debian package, made from this build folder.
add_test(NAME e2e_installed
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/installed.sh $<TARGET_FILE:jotterly> ${CMAKE_BINARY_DIR})
set_tests_properties(e2e_installed PROPERTIES
  LABELS e2e
  TIMEOUT 300
  FIXTURES_REQUIRED jotterly_e2e_program
  ENVIRONMENT "E2E_OUTPUT_DIR=${CMAKE_BINARY_DIR}/e2e-shots/installed")
