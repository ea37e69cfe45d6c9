# Runs wixl on the package source; called by the dravix_msi target:
#   cmake -DWIXL=... -DSOURCE=x.wxs -DOUTPUT=x.msi -DVERSION=... -DPRODUCT_CODE=...
#         -DUPGRADE_CODE=... -DBIN_DIR=... -DICON=... -DACTION=... -DPAYLOAD=a;b;...
#         -P BuildPackage.cmake
# wixl (0.101) finds files only by paths relative to its working folder, so
# the files go to it that way.

# The size the list of installed programs shows, in KB. Windows works it
# out itself; Wine's installer only shows what the package states.
set(bytes 0)
foreach(file IN LISTS PAYLOAD)
  file(SIZE "${file}" size)
  math(EXPR bytes "${bytes} + ${size}")
endforeach()
math(EXPR kilobytes "(${bytes} + 1023) / 1024")

file(RELATIVE_PATH bin_dir "${CMAKE_CURRENT_BINARY_DIR}" "${BIN_DIR}")
file(RELATIVE_PATH icon "${CMAKE_CURRENT_BINARY_DIR}" "${ICON}")
file(RELATIVE_PATH action "${CMAKE_CURRENT_BINARY_DIR}" "${ACTION}")

# Built beside the target and moved over it, so that a failed run leaves no
# half-written package that looks up to date.
set(partial "${OUTPUT}.partial")
execute_process(
  COMMAND "${WIXL}" --arch x64
          -D "Version=${VERSION}" -D "ProductCode=${PRODUCT_CODE}" -D "UpgradeCode=${UPGRADE_CODE}"
          -D "BinDir=${bin_dir}" -D "Icon=${icon}" -D "LeftoversAction=${action}"
          -D "SizeKB=${kilobytes}"
          -o "${partial}" "${SOURCE}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
# wixl notes "unimplemented" for a shortcut that is not advertised; that is
# the kind this package wants, so the note is not passed on.
string(REGEX REPLACE "[^\n]*builder.vala:[0-9]+: unimplemented\n?" "" output "${output}")
if(output)
  message("${output}")
endif()
if(NOT result EQUAL 0)
  file(REMOVE "${partial}")
  message(FATAL_ERROR "wixl failed on ${SOURCE}")
endif()
file(RENAME "${partial}" "${OUTPUT}")
