# The floors of the house, bottom up. A file includes only headers of its own
# floor and of those below it; the build checks every file against this table
# (check_layers), and each kernel floor compiles against an include root that
# shows it no floor above its own.
#
# A floor is a list of folders, longest first where one holds another.
set(QM_FLOORS platform curves geometry surface database display api exchange control tools)
set(QM_FLOOR_platform platform)
set(QM_FLOOR_curves geometry/curves)
set(QM_FLOOR_geometry geometry)
set(QM_FLOOR_surface surface)
set(QM_FLOOR_database database)
set(QM_FLOOR_display display)
set(QM_FLOOR_api api)
set(QM_FLOOR_exchange exchange)
set(QM_FLOOR_control control)
set(QM_FLOOR_tools fonttool examples)

# The kernel floors that are built as layers of libvellex.
set(QM_KERNEL_FLOORS curves geometry surface database display api)

# qm_floor_include_root(<floor> <out-var>): a folder in the build tree that
# holds, under their own names, links to the folders of <floor> and of every
# floor below it, and nothing else. Compiled against it, a
# file of <floor> cannot reach a header above it.
function(qm_floor_include_root floor out)
  set(folders)
  foreach(f ${QM_FLOORS})
    list(APPEND folders ${QM_FLOOR_${f}})
    if(f STREQUAL floor)
      break()
    endif()
  endforeach()
  set(root ${CMAKE_BINARY_DIR}/floors/${floor})
  file(REMOVE_RECURSE ${root})
  foreach(folder ${folders})
    # A folder inside another one of the list comes with it.
    set(inside FALSE)
    foreach(other ${folders})
      string(FIND "${folder}" "${other}/" at)
      if(at EQUAL 0)
        set(inside TRUE)
      endif()
    endforeach()
    if(NOT inside)
      get_filename_component(parent ${root}/${folder} DIRECTORY)
      file(MAKE_DIRECTORY ${parent})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endif()
  endforeach()
  set(${out} ${root} PARENT_SCOPE)
endfunction()
