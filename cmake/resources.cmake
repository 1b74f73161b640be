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

# The themes' icons, Dark and Light; icons at scale 4 are four pixels a unit, frames stacked top to bottom.
zephrin_embed_image(theme_badge_image theme_badge.svg 72 72)
zephrin_embed_image(theme_dark_search_icon theme_dark_search.svg 96 96)
zephrin_embed_image(theme_dark_picker_search_icon theme_dark_search.svg 60 60)
zephrin_embed_image(theme_dark_screenshot_image theme_dark_screenshot.svg 112 448)
zephrin_embed_image(theme_dark_export_image theme_dark_export.svg 112 336)
zephrin_embed_image(theme_dark_gallery_image theme_dark_gallery.svg 112 336)
zephrin_embed_image(theme_dark_settings_image theme_dark_settings.svg 112 336)
zephrin_embed_image(theme_dark_news_image theme_dark_news.svg 112 336)
zephrin_embed_image(theme_dark_gallery_swap_image theme_dark_swap.svg 96 288)
zephrin_embed_image(theme_dark_spare_list_image theme_dark_list.svg 16 48)
zephrin_embed_image(theme_dark_gallery_copy_image theme_dark_copy.svg 64 256)
zephrin_embed_image(theme_dark_spare_download_image theme_dark_download.svg 64 192)
zephrin_embed_image(theme_dark_gallery_delete_image theme_dark_delete.svg 64 192)
zephrin_embed_image(theme_dark_gallery_export_image theme_dark_export.svg 64 192)
zephrin_embed_image(theme_dark_maximise_image theme_dark_maximise.svg 64 192)
zephrin_embed_image(theme_dark_restore_image theme_dark_restore.svg 64 192)
zephrin_embed_image(theme_dark_actual_size_image theme_dark_actual_size.svg 64 192)
zephrin_embed_image(theme_dark_fit_image theme_dark_fit.svg 64 192)
zephrin_embed_image(theme_dark_remove_button_image theme_dark_remove.svg 64 192)
zephrin_embed_image(theme_dark_clear_button_image theme_dark_clear.svg 64 128)
zephrin_embed_image(theme_dark_dropdown_arrow_image theme_dark_dropdown_arrow.svg 8 5)
zephrin_embed_image(theme_dark_checkbox_image theme_dark_checkbox.svg 14 28)
zephrin_embed_image(theme_light_search_icon theme_light_search.svg 96 96)
zephrin_embed_image(theme_light_picker_search_icon theme_light_search.svg 60 60)
zephrin_embed_image(theme_light_screenshot_image theme_light_screenshot.svg 112 448)
zephrin_embed_image(theme_light_export_image theme_light_export.svg 112 336)
zephrin_embed_image(theme_light_gallery_image theme_light_gallery.svg 112 336)
zephrin_embed_image(theme_light_settings_image theme_light_settings.svg 112 336)
zephrin_embed_image(theme_light_news_image theme_light_news.svg 112 336)
zephrin_embed_image(theme_light_gallery_swap_image theme_light_swap.svg 96 288)
zephrin_embed_image(theme_light_spare_list_image theme_light_list.svg 16 48)
zephrin_embed_image(theme_light_gallery_copy_image theme_light_copy.svg 64 256)
zephrin_embed_image(theme_light_spare_download_image theme_light_download.svg 64 192)
zephrin_embed_image(theme_light_gallery_delete_image theme_light_delete.svg 64 192)
zephrin_embed_image(theme_light_gallery_export_image theme_light_export.svg 64 192)
zephrin_embed_image(theme_light_maximise_image theme_light_maximise.svg 64 192)
zephrin_embed_image(theme_light_restore_image theme_light_restore.svg 64 192)
zephrin_embed_image(theme_light_actual_size_image theme_light_actual_size.svg 64 192)
zephrin_embed_image(theme_light_fit_image theme_light_fit.svg 64 192)
zephrin_embed_image(theme_light_remove_button_image theme_light_remove.svg 64 192)
zephrin_embed_image(theme_light_clear_button_image theme_light_clear.svg 64 128)
zephrin_embed_image(theme_light_dropdown_arrow_image theme_light_dropdown_arrow.svg 8 5)
zephrin_embed_image(theme_light_checkbox_image theme_light_checkbox.svg 14 28)

file(CONFIGURE OUTPUT ${zephrin_resource_dir}/embedded_images.h CONTENT
"#pragma once
// Generated from cmake/resources.cmake: the images carried in the module.
#include \"toolkit/resources/png_bytes.h\"

namespace qzsdk::resources {

${zephrin_resource_declarations}
}  // namespace qzsdk::resources
")
