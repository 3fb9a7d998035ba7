# The Windows programs read song packs through the static libarchive that tools/build-libarchive-windows
# builds once into the user's cache (with liblzma and zlib beside it). Only that script knows the
# folder's name, so it is asked. Sets VX_WINDOWS_LIBARCHIVE to the folder, or to "" when it is not built
# yet, and then the programs are built without packs.
execute_process(COMMAND "${CMAKE_SOURCE_DIR}/tools/build-libarchive-windows" --print-prefix
                OUTPUT_VARIABLE prefix OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
if(status EQUAL 0 AND EXISTS "${prefix}/.complete")
  if(NOT "${VX_WINDOWS_LIBARCHIVE}" STREQUAL "${prefix}")
    unset(LibArchive_INCLUDE_DIR CACHE)
    unset(LibArchive_LIBRARY CACHE)
  endif()
  set(VX_WINDOWS_LIBARCHIVE "${prefix}" CACHE INTERNAL "The static libarchive for Windows")
  set(LibArchive_INCLUDE_DIR "${prefix}/include" CACHE PATH "" FORCE)
  set(LibArchive_LIBRARY "${prefix}/lib/libarchive.a" CACHE FILEPATH "" FORCE)
else()
  set(VX_WINDOWS_LIBARCHIVE "" CACHE INTERNAL "The static libarchive for Windows")
  message(WARNING "The static libarchive for Windows is not built, so the Windows programs refuse song "
                  "packs. tools/build-libarchive-windows builds it once; configure again afterwards. "
                  "tools/test-windows does both.")
endif()
