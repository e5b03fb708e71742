# Writes a C++ source that holds image files as byte arrays, for an icon resource with
# several images: cmake -D OUTPUT=FILE -D HEADER=res/X.h -D NAME=ARRAY -D IMAGES=A.png;B.png
# -P EmbedImages.cmake. The source defines what HEADER declares: `const EncodedImage NAME[]`
# (platform/Icons.h), one entry per file, and `const std::size_t NAMECount`.
set(text "// Made at build time by res/EmbedImages.cmake; do not edit.\n#include \"${HEADER}\"\n\n")
set(entries "")
set(index 0)
foreach(image IN LISTS IMAGES)
  file(READ "${image}" bytes HEX)
  string(LENGTH "${bytes}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
  string(APPEND text "static const unsigned char image${index}[] = {\n${bytes}};\n")
  string(APPEND entries "    {image${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
string(APPEND text "\nconst EncodedImage ${NAME}[] = {\n${entries}};\n")
string(APPEND text "const std::size_t ${NAME}Count = ${index};\n")
file(WRITE "${OUTPUT}" "${text}")
