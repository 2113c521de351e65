# Runs the Linux and the Windows command-line tool on the sample robot and fails unless both give
# the same bytes: every motion compiled, the start-up image, the files a write puts on a card
# folder, and the events of a simulated run.
#   cmake -DLINUX_CLI=... -DWINDOWS_CLI=... -DEMULATOR=... -DSAMPLE=... -DWORK=... -P this file
foreach(variable LINUX_CLI WINDOWS_CLI EMULATOR SAMPLE WORK)
  if(NOT ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

# Each tool works on a copy of the sample: writing builds STARTUP.BIN in the project folder.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/linux ${WORK}/windows)
file(COPY ${SAMPLE}/ DESTINATION ${WORK}/linux/project)
file(COPY ${SAMPLE}/ DESTINATION ${WORK}/windows/project)

# run(<side> <output variable> <arguments>...): the tool's standard output with CR LF as LF;
# a failing run fails the test. The Windows tool gets the Linux paths on Wine's drive Z: (a
# leading slash would start an option there).
function(run side out)
  set(arguments ${ARGN})
  if(side STREQUAL "linux")
    set(command ${LINUX_CLI})
  else()
    set(command ${EMULATOR} ${WINDOWS_CLI})
    list(TRANSFORM arguments REPLACE "^/" "Z:/")
  endif()
  execute_process(COMMAND ${command} ${arguments} RESULT_VARIABLE status OUTPUT_VARIABLE text
                  ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${side}: ${ARGN} failed (${status}): ${errors}")
  endif()
  string(REPLACE "\r\n" "\n" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(expect_same_file relative)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/linux/${relative}
                          ${WORK}/windows/${relative} RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${relative} differs between the Linux and the Windows tool")
  endif()
endfunction()

file(GLOB motions RELATIVE ${SAMPLE} ${SAMPLE}/*.KX4)
foreach(side linux windows)
  set(project ${WORK}/${side}/project/gestaloid.KJZ)
  foreach(motion ${motions})
    run(${side} ignored compile ${WORK}/${side}/project/${motion} -o ${WORK}/${side}/${motion}.BIN
        --project ${project})
  endforeach()
  run(${side} ignored startup ${project} -o ${WORK}/${side}/STARTUP.BIN)
  file(MAKE_DIRECTORY ${WORK}/${side}/card)
  run(${side} ignored write ${project} --drive ${WORK}/${side}/card)
  run(${side} events_${side} simulate ${project} ${WORK}/${side}/greeting.KX4.BIN --ms 3000)
endforeach()

foreach(motion ${motions})
  expect_same_file(${motion}.BIN)
endforeach()
expect_same_file(STARTUP.BIN)

file(GLOB_RECURSE linux_card RELATIVE ${WORK}/linux/card ${WORK}/linux/card/*)
file(GLOB_RECURSE windows_card RELATIVE ${WORK}/windows/card ${WORK}/windows/card/*)
if(NOT linux_card STREQUAL windows_card OR NOT linux_card)
  message(FATAL_ERROR "the card folders hold different files:\n${linux_card}\n${windows_card}")
endif()
foreach(file ${linux_card})
  expect_same_file(card/${file})
endforeach()

if(NOT events_linux STREQUAL events_windows OR events_linux STREQUAL "")
  message(FATAL_ERROR "the simulated runs differ:\n${events_linux}\n---\n${events_windows}")
endif()
list(LENGTH motions motion_count)
list(LENGTH linux_card card_count)
message(STATUS "${motion_count} motions, the start-up image, ${card_count} card files and the events agree")
