# Writes a C++ source that holds the bytes of IN as a null-terminated array named VAR.
# Bytes are written as character literals, so bytes above 0x7F (UTF-8 text) need no
# narrowing conversion.
file(READ ${IN} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
file(WRITE ${OUT} "extern const char ${VAR}[];\nconst char ${VAR}[] = {${bytes}0x00};\n")
