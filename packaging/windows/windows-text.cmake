# Writes the UTF-8 text IN as Japanese Windows tools ship their texts, to
# OUT: Shift-JIS (CP932) with CR LF line ends. A character that CP932 cannot
# hold stops the build.
#   cmake -DIN=... -DOUT=... -P windows-text.cmake
file(READ "${IN}" text)
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUT}.crlf" "${text}")
execute_process(COMMAND iconv -f UTF-8 -t CP932 "${OUT}.crlf" OUTPUT_FILE "${OUT}" RESULT_VARIABLE status)
file(REMOVE "${OUT}.crlf")
if(NOT status EQUAL 0)
  file(REMOVE "${OUT}")
  message(FATAL_ERROR "${IN}: not convertible to CP932 (${status})")
endif()
