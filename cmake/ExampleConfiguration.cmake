# The package's example configuration: what `robot-fiscal --init` writes, its
# data directory that of an instance named NOMBRE.
#   cmake -DROBOT=path/to/robot-fiscal -DDIR=output/dir -P ExampleConfiguration.cmake
file(REMOVE_RECURSE ${DIR})
execute_process(COMMAND ${ROBOT} --init ${DIR} OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "robot-fiscal --init ${DIR} ended with ${status}")
endif()
file(READ ${DIR}/Vextora.inf text)
string(REGEX REPLACE "^Datos:[^\r\n]*" "Datos:/var/lib/robot-fiscal/NOMBRE/" text "${text}")
file(WRITE ${DIR}/Vextora.inf "${text}")
file(REMOVE ${DIR}/Vextora.dba)
