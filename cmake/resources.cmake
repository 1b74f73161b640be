# Images carried in the module. Each SVG in toolkit/resources/ is rasterised at build time to a PNG of the
# given pixel size and compiled in as a byte array; adding an image is one zephrin_embed_image line.
# Run as a script (cmake -P) it turns one file into the C++ source of its byte array.

if(CMAKE_SCRIPT_MODE_FILE)
  file(READ ${INPUT} hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR length "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)"
    "\\1\n    " bytes "${bytes}")
  file(WRITE ${OUTPUT} "#include \"toolkit/resources/embedded_images.h\"\n\n"
    "namespace qzsdk::resources {\n\nnamespace {\nconst uint8_t bytes[${length}] = {\n    ${bytes}\n};\n}\n\n"
    "extern const png_bytes ${NAME} = {bytes, ${length}};\n\n}  // namespace qzsdk::resources\n")
  return()
endif()

find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(ZEPHRIN_RESOURCE_SOURCES "")
set(zephrin_resource_dir ${CMAKE_BINARY_DIR}/generated/toolkit/resources)
set(zephrin_resource_declarations "")

function(zephrin_embed_image name svg width height)
  set(svg_path ${CMAKE_SOURCE_DIR}/toolkit/resources/${svg})
  set(png ${zephrin_resource_dir}/${name}.png)
  set(cpp ${zephrin_resource_dir}/${name}.cpp)
  add_custom_command(OUTPUT ${png}
    COMMAND ${RSVG_CONVERT} --width=${width} --height=${height} --output=${png} ${svg_path}
    DEPENDS ${svg_path} VERBATIM)
  add_custom_command(OUTPUT ${cpp}
    COMMAND ${CMAKE_COMMAND} -DNAME=${name} -DINPUT=${png} -DOUTPUT=${cpp} -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    DEPENDS ${png} ${CMAKE_CURRENT_FUNCTION_LIST_FILE} VERBATIM)
  set(ZEPHRIN_RESOURCE_SOURCES ${ZEPHRIN_RESOURCE_SOURCES} ${cpp} PARENT_SCOPE)
  set(zephrin_resource_declarations "${zephrin_resource_declarations}extern const png_bytes ${name};\n" PARENT_SCOPE)
endfunction()

# name, source, pixel width, pixel height
zephrin_embed_image(checkbox_strip checkbox_strip.svg 14 28)
zephrin_embed_image(dropdown_button dropdown_button.svg 8 5)
zephrin_embed_image(scroll_arrow scroll_arrow.svg 8 8)

file(CONFIGURE OUTPUT ${zephrin_resource_dir}/embedded_images.h CONTENT
"#pragma once
// Generated from cmake/resources.cmake: the images carried in the module.
#include \"toolkit/resources/png_bytes.h\"

namespace qzsdk::resources {

${zephrin_resource_declarations}
}  // namespace qzsdk::resources
")
