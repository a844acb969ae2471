# The functions only some commands need are looked up at run time, so the
# program starts on every Windows (and a missing one is logged, never fatal):
# none of them may stand in setup32.exe's import table.
#   cmake -DOBJDUMP=... -DEXE=setup32.exe -P check_imports.cmake
set(looked_up
  NetUserAdd NetUserDel NetUserGetInfo NetUserSetInfo NetLocalGroupAdd NetLocalGroupAddMembers
  NetLocalGroupDelMembers NetUserGetLocalGroups NetGetJoinInformation NetJoinDomain NetUnjoinDomain
  NetRenameMachineInDomain NetApiBufferFree ConvertStringSidToSidW LookupAccountSidW CheckTokenMembership
  IsUserAnAdmin SetComputerNameExA)
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed (${rc})")
endif()
# the import table's entries read "<tab><hint>  <name>"
string(FIND "${dump}" "DLL Name: KERNEL32.dll" at)
if(at LESS 0)
  message(FATAL_ERROR "no import table read from ${EXE}")
endif()
set(found "")
foreach(name ${looked_up})
  if(dump MATCHES "[ \t][0-9a-fA-F]+[ \t]+${name}\r?\n")
    list(APPEND found ${name})
  endif()
endforeach()
if(found)
  message(FATAL_ERROR "imported statically, must be looked up at run time: ${found}")
endif()
list(LENGTH looked_up n)
message(STATUS "none of the ${n} run-time functions is imported")
