# Runs episode-check through wine on the demo episode modules and fails when one of them is not
# perfect (an error or even a warning). Used after the build and as a test:
#   cmake -DCHECKER=<episode-check.exe> -DMODULE_DIR=<dir> -DMODULES=chaptr1.dll,chaptr2.dll,...
#         [-DWINE=wine] [-DREQUIRE_WINE=ON] [-DSTAMP=<file written on success>] -P check_episodes.cmake
# After the build it needs a booted prefix in WINEPREFIX and skips the check without one: booting
# a prefix in the middle of a build would take a minute and leave it in the user's home. As a
# test (REQUIRE_WINE) it always runs.
if(STAMP)
  file(REMOVE ${STAMP})  # until this run has checked every module
endif()
if(NOT WINE)
  set(WINE wine)
endif()
if(NOT REQUIRE_WINE AND (NOT DEFINED ENV{WINEPREFIX} OR NOT EXISTS "$ENV{WINEPREFIX}/system.reg"))
  message(STATUS "Demo episodes not checked: WINEPREFIX names no booted prefix "
                 "(the test demo_episodes_check runs the check)")
  return()
endif()

string(REPLACE "," ";" MODULES "${MODULES}")
set(log_dir ${CMAKE_CURRENT_BINARY_DIR}/episode-check-logs)
file(MAKE_DIRECTORY ${log_dir})
set(broken)
foreach(module ${MODULES})
  # Loaded by bare name from its own folder, as the launcher loads it. Output goes to files, not
  # pipes: wine's background services would hold a pipe open after the tool ended.
  execute_process(COMMAND ${WINE} ${CHECKER} ${module}
                  WORKING_DIRECTORY ${MODULE_DIR}
                  INPUT_FILE /dev/null
                  OUTPUT_FILE ${log_dir}/${module}.txt
                  ERROR_FILE ${log_dir}/${module}.err
                  RESULT_VARIABLE status
                  TIMEOUT 300)
  file(READ ${log_dir}/${module}.txt report)
  string(REPLACE "\r" "" report "${report}")
  if(NOT status EQUAL 0 OR NOT report MATCHES "\nresult: ok\n")
    list(APPEND broken ${module})
    message("episode-check ${module} (status ${status}):\n${report}")
  endif()
endforeach()
if(broken)
  message(FATAL_ERROR "Demo episode modules not fit for the launcher: ${broken}")
endif()
if(STAMP)
  file(WRITE ${STAMP} "${MODULES}\n")
endif()
list(LENGTH MODULES count)
message(STATUS "Demo episodes checked: ${count} modules fit for the launcher")
