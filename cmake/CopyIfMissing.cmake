# Copies SRC to DST unless DST exists already.
if(NOT EXISTS "${DST}")
  get_filename_component(dir "${DST}" DIRECTORY)
  file(MAKE_DIRECTORY "${dir}")
  file(COPY_FILE "${SRC}" "${DST}")
  message(STATUS "Installed a new database: ${DST}")
endif()
