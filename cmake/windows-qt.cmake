# The window for Windows links the static Qt that tools/build-qt-windows builds once into the user's cache.
# Only that script knows the folder's name (it holds a hash of how Qt was configured), so it is asked.
# Sets VX_WINDOWS_QT to the folder, or to "" when that Qt is not built yet.
execute_process(COMMAND "${CMAKE_SOURCE_DIR}/tools/build-qt-windows" --print-prefix
                OUTPUT_VARIABLE prefix OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
if(status EQUAL 0 AND EXISTS "${prefix}/.complete")
  # A Qt built with other options lives in another folder; forget where the last one's packages were.
  if(NOT "${VX_WINDOWS_QT}" STREQUAL "${prefix}")
    get_cmake_property(cached CACHE_VARIABLES)
    foreach(variable IN LISTS cached)
      if(variable MATCHES "^(Qt6|WrapQt6|WrapVulkan|Wrap).*_DIR$")
        unset(${variable} CACHE)
      endif()
    endforeach()
  endif()
  set(VX_WINDOWS_QT "${prefix}" CACHE INTERNAL "The static Qt for Windows")
  list(APPEND CMAKE_FIND_ROOT_PATH "${prefix}")
  # moc, rcc and uic are the host's (qt6-base-dev), of the same version.
  file(GLOB host_tools /usr/lib/*/cmake/Qt6CoreTools)
  list(GET host_tools 0 host_tools)
  get_filename_component(QT_HOST_PATH_CMAKE_DIR "${host_tools}" DIRECTORY)
  set(QT_HOST_PATH /usr)
else()
  set(VX_WINDOWS_QT "" CACHE INTERNAL "The static Qt for Windows")
  message(WARNING "The static Qt for Windows is not built, so vxorganizer.exe is not built either. "
                  "tools/build-qt-windows builds it once (15-40 minutes); configure again afterwards. "
                  "tools/test-windows does both.")
endif()
