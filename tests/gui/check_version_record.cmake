# Compiles the window's version record with a Windows resource compiler and
# checks the strings a Windows user sees in the file's properties.
execute_process(COMMAND ${WINDRES} -O res -i ${RC} -o ${OUT}
                RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "windres failed: ${errors}")
endif()
file(READ ${OUT} bytes HEX)
# Resource strings are UTF-16LE; spell the expected ones that way.
function(expect text)
  string(HEX "${text}" hex)
  string(REGEX REPLACE "(..)" "\\100" wide "${hex}")
  string(FIND "${bytes}" "${wide}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "version record lacks \"${text}\"")
  endif()
endfunction()
foreach(text "040904B0" "FileVersion" "ProductVersion" "1.00" "ProductName" "InternalName"
             "Tavrin" "OriginalFilename" "Tavrin.exe" "CompanyName")
  expect("${text}")
endforeach()
# The numeric version 1.0.0.0 in the fixed part: 0x00010000 then 0 (major.minor, patch.tweak).
string(FIND "${bytes}" "bd04effe0000010000000100000000000000" at)
if(at EQUAL -1)
  message(FATAL_ERROR "version record lacks the numeric version 1.0.0.0")
endif()
