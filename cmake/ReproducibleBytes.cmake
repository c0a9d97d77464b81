# Reproducible bytes: the same sources, built in another folder or at another
# time, give the same files byte for byte, so that anyone can rebuild a
# release and compare it with what was shipped.
#  - -ffile-prefix-map: no source or build path in __FILE__ or in debug
#    information; the repository becomes ".", the build folder "build".
#  - --no-insert-timestamp: the PE header's TimeDateStamp stays 0 (ld writes
#    the link time there by default).
# windres writes neither a time stamp nor a path. The order, times and
# permissions in the zip are fixed by scripts/build-package, which also checks
# the whole thing (--check-reproducible).
#
# vkp_reproducible_bytes(ROOT): applies both to every target defined in the
# calling directory and the directories below it. Call it at the very end of
# a project's CMakeLists.txt, when all its targets exist: options set on a
# directory reach only the targets created after them. ROOT is the
# repository's top folder.
function(vkp_reproducible_bytes root)
  get_filename_component(root "${root}" ABSOLUTE)
  # GCC tries the last given map first: the build folder, often inside the
  # repository, must come after it.
  set(maps -ffile-prefix-map=${root}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
  _vkp_reproducible_dir("${CMAKE_CURRENT_SOURCE_DIR}" "${maps}")
endfunction()

function(_vkp_reproducible_dir dir maps)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY|STATIC_LIBRARY|OBJECT_LIBRARY)$")
      target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:${maps}>")
    endif()
    if(type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY)$")
      target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _vkp_reproducible_dir("${sub}" "${maps}")
  endforeach()
endfunction()
