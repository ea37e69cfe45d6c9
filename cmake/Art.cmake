# Renders the artwork sources in res/art to the pictures the resource script
# includes: NAME.svg becomes NAME.bmp (24-bit, the SVG's own pixel size) and,
# for the larger display scales, NAME-PERCENT.png; app.svg becomes app.ico with
# the usual icon sizes. The PNGs go into the resources through bitmaps_scaled.rc,
# written here from the table: type PNG<percent>, under the bitmap's own id.
#
# The pages draw their controls at fixed positions over these bitmaps, so every
# rendered picture is checked against the size listed below (scaled as MulDiv
# scales it) and the build fails when a source is resized by mistake. Run as a
# script (cmake -P) this file performs that check.

# Pixel size of every bitmap at 100 %, as the pages lay them out, the display
# scales in percent that get renderings of their own, and the icon sizes.
macro(_dravix_art_tables)
  set(DRAVIX_ART_SIZES
    source_background=840x520
    repair_normal=130x38
    repair_hover=132x40
    add_normal=150x150
    add_hover=150x150
    add_done=150x168
    save_background=833x444
    save_normal=134x60
    save_hover=134x60
    preview_normal=134x60
    preview_hover=134x60
    back_normal=134x60
    back_hover=134x60
    browse_normal=72x22
    browse_hover=72x22
    about_background=378x440)
  set(DRAVIX_ART_SCALES 125 150 175 200)
  set(DRAVIX_ICON_SIZES 256 64 48 40 32 24 20 16)
endmacro()

# Removes the half-made FILE so the next build renders it again, and stops.
function(_dravix_art_fail file message)
  file(REMOVE "${file}")
  message(FATAL_ERROR "${file}: ${message}")
endfunction()

# Little-endian unsigned integer of BYTES bytes at byte OFFSET of a hex dump.
function(_dravix_le_uint hex offset bytes out)
  set(value 0)
  math(EXPR last "${offset} + ${bytes} - 1")
  foreach(i RANGE ${last} ${offset} -1)
    math(EXPR pos "${i} * 2")
    string(SUBSTRING "${hex}" ${pos} 2 byte)
    math(EXPR value "${value} * 256 + 0x${byte}")
  endforeach()
  set(${out} ${value} PARENT_SCOPE)
endfunction()

# Fails unless FILE is an uncompressed 24-bit BMP of exactly SIZE (WxH).
function(_dravix_check_bmp file size)
  file(SIZE "${file}" length)
  if(length LESS 54)
    _dravix_art_fail("${file}" "not a bitmap")
  endif()
  file(READ "${file}" hex LIMIT 54 HEX)
  string(SUBSTRING "${hex}" 0 4 magic)
  _dravix_le_uint("${hex}" 14 4 header)
  _dravix_le_uint("${hex}" 18 4 width)
  _dravix_le_uint("${hex}" 22 4 height)
  _dravix_le_uint("${hex}" 28 2 bits)
  _dravix_le_uint("${hex}" 30 4 compression)
  if(NOT magic STREQUAL "424d" OR header LESS 40)
    _dravix_art_fail("${file}" "not a Windows bitmap")
  endif()
  if(NOT "${width}x${height}" STREQUAL "${size}")
    _dravix_art_fail("${file}" "rendered at ${width}x${height}, the program needs ${size}")
  endif()
  if(NOT bits EQUAL 24 OR NOT compression EQUAL 0)
    _dravix_art_fail("${file}"
                     "${bits} bits per pixel (compression ${compression}), not uncompressed 24-bit")
  endif()
endfunction()

# SIZE (WxH) at PERCENT, each side rounded half away from zero as MulDiv rounds.
function(_dravix_scaled_size size percent out)
  string(REPLACE "x" ";" sides "${size}")
  list(GET sides 0 w)
  list(GET sides 1 h)
  math(EXPR w "(${w} * ${percent} + 50) / 100")
  math(EXPR h "(${h} * ${percent} + 50) / 100")
  set(${out} ${w}x${h} PARENT_SCOPE)
endfunction()

# Fails unless FILE is a PNG of exactly SIZE (WxH).
function(_dravix_check_png file size)
  file(READ "${file}" hex LIMIT 24 HEX)
  string(LENGTH "${hex}" hexlen)
  if(hexlen LESS 48)
    _dravix_art_fail("${file}" "not a PNG")
  endif()
  string(SUBSTRING "${hex}" 0 16 magic)
  string(SUBSTRING "${hex}" 24 8 chunk)
  if(NOT magic STREQUAL "89504e470d0a1a0a" OR NOT chunk STREQUAL "49484452") # IHDR
    _dravix_art_fail("${file}" "not a PNG")
  endif()
  # The header's width and height are big-endian.
  string(SUBSTRING "${hex}" 32 8 width)
  string(SUBSTRING "${hex}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT "${width}x${height}" STREQUAL "${size}")
    _dravix_art_fail("${file}" "rendered at ${width}x${height}, the program needs ${size}")
  endif()
endfunction()

# Fails unless FILE is an icon holding exactly the sizes in DRAVIX_ICON_SIZES.
function(_dravix_check_ico file)
  list(LENGTH DRAVIX_ICON_SIZES wanted)
  math(EXPR header "6 + 16 * ${wanted}")
  file(READ "${file}" hex LIMIT ${header} HEX)
  string(LENGTH "${hex}" hexlen)
  math(EXPR header_hex "2 * ${header}")
  if(hexlen LESS header_hex)
    _dravix_art_fail("${file}" "expected an icon with ${wanted} images")
  endif()
  _dravix_le_uint("${hex}" 2 2 type)
  _dravix_le_uint("${hex}" 4 2 count)
  if(NOT type EQUAL 1 OR NOT count EQUAL wanted)
    _dravix_art_fail("${file}" "expected an icon with ${wanted} images")
  endif()
  set(found)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    math(EXPR entry "6 + ${i} * 16")
    math(EXPR entry_h "${entry} + 1")
    _dravix_le_uint("${hex}" ${entry} 1 w)
    _dravix_le_uint("${hex}" ${entry_h} 1 h)
    if(w EQUAL 0)
      set(w 256) # a zero byte stands for 256
    endif()
    if(h EQUAL 0)
      set(h 256)
    endif()
    if(NOT w EQUAL h)
      _dravix_art_fail("${file}" "image ${i} is ${w}x${h}, not square")
    endif()
    list(APPEND found ${w})
  endforeach()
  foreach(s IN LISTS DRAVIX_ICON_SIZES)
    list(FIND found ${s} at)
    if(at EQUAL -1)
      _dravix_art_fail("${file}" "no ${s}x${s} image (has ${found})")
    endif()
  endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  # cmake -DART_FILE=<bmp or ico> [-DART_SIZE=WxH] -P Art.cmake
  _dravix_art_tables()
  if(ART_FILE MATCHES "\\.ico$")
    _dravix_check_ico("${ART_FILE}")
  elseif(ART_FILE MATCHES "\\.png$")
    _dravix_check_png("${ART_FILE}" "${ART_SIZE}")
  else()
    _dravix_check_bmp("${ART_FILE}" "${ART_SIZE}")
  endif()
  return()
endif()

find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(IMAGEMAGICK_CONVERT convert REQUIRED)

function(dravix_render_art out_dir out_files)
  _dravix_art_tables()
  # Found relative to this file, so the project also builds as a subdirectory.
  set(DRAVIX_ART_DIR ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../res/art)
  set(DRAVIX_ART_SCRIPT ${CMAKE_CURRENT_FUNCTION_LIST_FILE})
  file(GLOB svgs CONFIGURE_DEPENDS ${DRAVIX_ART_DIR}/*.svg)
  set(outputs)
  set(scaled_rc "// Written by cmake/Art.cmake: the pictures rendered for larger display scales.\n")
  foreach(svg IN LISTS svgs)
    get_filename_component(name ${svg} NAME_WE)
    if(name STREQUAL "app")
      # Each size is rendered from the vector source rather than scaled down
      # from the largest, which keeps the 16 and 32 pixel images sharp.
      set(out ${out_dir}/app.ico)
      set(render)
      set(pngs)
      foreach(s IN LISTS DRAVIX_ICON_SIZES)
        list(APPEND render COMMAND ${RSVG_CONVERT} -w ${s} -h ${s} ${svg} -o
             ${out_dir}/app-${s}.png)
        list(APPEND pngs ${out_dir}/app-${s}.png)
      endforeach()
      add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
        ${render}
        COMMAND ${IMAGEMAGICK_CONVERT} ${pngs} ${out}
        COMMAND ${CMAKE_COMMAND} -DART_FILE=${out} -P ${DRAVIX_ART_SCRIPT}
        DEPENDS ${svg} ${DRAVIX_ART_SCRIPT} VERBATIM)
    else()
      set(size)
      foreach(entry IN LISTS DRAVIX_ART_SIZES)
        if(entry MATCHES "^${name}=(.+)$")
          set(size ${CMAKE_MATCH_1})
        endif()
      endforeach()
      if(NOT size)
        message(FATAL_ERROR "${svg}: add its pixel size to DRAVIX_ART_SIZES in ${DRAVIX_ART_SCRIPT}")
      endif()
      set(out ${out_dir}/${name}.bmp)
      add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
        COMMAND ${RSVG_CONVERT} ${svg} -o ${out_dir}/${name}.png
        COMMAND ${IMAGEMAGICK_CONVERT} ${out_dir}/${name}.png -background white -alpha remove
                -alpha off -type TrueColor BMP3:${out}
        COMMAND ${CMAKE_COMMAND} -DART_FILE=${out} -DART_SIZE=${size} -P ${DRAVIX_ART_SCRIPT}
        DEPENDS ${svg} ${DRAVIX_ART_SCRIPT} VERBATIM)
      # Rendered at the exact size, flattened on white like the bitmap, and
      # stripped of the chunks that carry a date so that builds are reproducible.
      string(TOUPPER "IDB_${name}" id)
      foreach(percent IN LISTS DRAVIX_ART_SCALES)
        _dravix_scaled_size(${size} ${percent} scaled)
        string(REPLACE "x" ";" sides ${scaled})
        list(GET sides 0 w)
        list(GET sides 1 h)
        set(png ${out_dir}/${name}-${percent}.png)
        add_custom_command(OUTPUT ${png}
          COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
          COMMAND ${RSVG_CONVERT} -w ${w} -h ${h} ${svg} -o ${out_dir}/${name}-${percent}-rgba.png
          COMMAND ${IMAGEMAGICK_CONVERT} ${out_dir}/${name}-${percent}-rgba.png -background white
                  -alpha remove -alpha off -strip -define png:exclude-chunks=date,time
                  -quality 95 PNG24:${png}
          COMMAND ${CMAKE_COMMAND} -DART_FILE=${png} -DART_SIZE=${scaled} -P ${DRAVIX_ART_SCRIPT}
          DEPENDS ${svg} ${DRAVIX_ART_SCRIPT} VERBATIM)
        list(APPEND outputs ${png})
        string(APPEND scaled_rc "${id} PNG${percent} \"${name}-${percent}.png\"\n")
      endforeach()
    endif()
    list(APPEND outputs ${out})
  endforeach()
  # Rewritten only when it changes, so that a new configure does not relink.
  file(CONFIGURE OUTPUT ${out_dir}/bitmaps_scaled.rc CONTENT "${scaled_rc}")
  list(APPEND outputs ${out_dir}/bitmaps_scaled.rc)
  set(${out_files} ${outputs} PARENT_SCOPE)
endfunction()
