# The layer order of layers.txt, for the build: each library's level, and
# the check that every library links only libraries below it.

# kovo_read_layers(FILE): KOVO_LEVEL_<folder> is a library's level (from 1,
# the lowest), KOVO_LIBRARY_FOLDERS every library's folder, low to high.
macro(kovo_read_layers file)
  file(STRINGS ${file} kovo_layer_lines REGEX "^[a-z]")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  set(KOVO_LIBRARY_FOLDERS "")
  set(kovo_level 0)
  foreach(kovo_line IN LISTS kovo_layer_lines)
    math(EXPR kovo_level "${kovo_level} + 1")
    string(REGEX REPLACE " +" ";" kovo_folders "${kovo_line}")
    foreach(kovo_folder IN LISTS kovo_folders)
      set(KOVO_LEVEL_${kovo_folder} ${kovo_level})
      list(APPEND KOVO_LIBRARY_FOLDERS ${kovo_folder})
    endforeach()
  endforeach()
endmacro()

# kovo_check_layer_links(): stops the configuration when a library kovo_X
# links a kovo_Y that is not on a lower level; libraries side by side may not
# link each other either.
function(kovo_check_layer_links)
  foreach(folder IN LISTS KOVO_LIBRARY_FOLDERS)
    if(NOT TARGET kovo_${folder})
      continue()
    endif()
    get_target_property(links kovo_${folder} LINK_LIBRARIES)
    foreach(link IN LISTS links)
      if(NOT link MATCHES "^kovo_([a-z]+)$")
        continue()
      endif()
      if(NOT KOVO_LEVEL_${CMAKE_MATCH_1} LESS KOVO_LEVEL_${folder})
        message(FATAL_ERROR "kovo_${folder} links ${link}, which layers.txt does not put below ${folder}/")
      endif()
    endforeach()
  endforeach()
endfunction()
