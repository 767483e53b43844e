# Checks shared by the tools' test scripts (cmake -P).

# Fails the script unless TEXT matches REGEX.
function(expect_match text regex)
  if(NOT "${text}" MATCHES "${regex}")
    message(FATAL_ERROR "expected a match of\n${regex}\nin\n${text}")
  endif()
endfunction()
