# Turns the Markdown user guide into a text file that Notepad shows well on
# any Windows: UTF-8 with a byte order mark, CR LF line ends, and without the
# picture lines (the pictures are not in the zip).
#   cmake -DINPUT=docs/user-guide.md -DOUTPUT=user-guide.txt -P text_for_notepad.cmake
file(READ "${INPUT}" text)
string(REGEX REPLACE "!\\[[^\n]*\\]\\([^\n]*\\)\n\n?" "" text "${text}")
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 byteOrderMark)
file(WRITE "${OUTPUT}" "${byteOrderMark}${text}")
