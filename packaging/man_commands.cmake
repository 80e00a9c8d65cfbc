# Writes a help2man include file with one sub-section per quillet-cli
# command, each holding that command's --help text. The command list is
# read from `quillet-cli --help`, so new commands join the man page by
# themselves.
#   cmake -DCLI=path/to/quillet-cli -DOUT=file.h2m -P man_commands.cmake
execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE program_help RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "${CLI} --help failed (${code})")
endif()

# The "Commands:" block: lines "  NAME   description" up to the next blank line.
string(REGEX MATCH "Commands:\n(  [^\n]*\n)+" block "${program_help}")
if(NOT block)
  message(FATAL_ERROR "no Commands: block in the output of ${CLI} --help")
endif()
string(REGEX MATCHALL "\n  [a-z][a-z0-9-]*" names "${block}")

# roff: a backslash is written \e, and a line may not start with . or '.
function(roff_lines text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(page "[COMMANDS]\n")
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  execute_process(COMMAND ${CLI} ${name} --help OUTPUT_VARIABLE text RESULT_VARIABLE code)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "${CLI} ${name} --help failed (${code})")
  endif()
  roff_lines("${text}" text)
  string(APPEND page ".SS ${name}\n.nf\n${text}.fi\n")
endforeach()
file(WRITE ${OUT} "${page}")
