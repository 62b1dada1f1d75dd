# Install rules: the kernel with the platform stand-ins it links, its headers,
# its fonts/ and support/ folders, the programs, a pkg-config file and a CMake
# package, so that a program outside the tree can use the kernel:
#   find_package(vellex) ... target_link_libraries(app PRIVATE vellex::vellex)
#   c++ app.cpp $(pkg-config --cflags --libs vellex)
#
# The kernel finds its fonts/ and support/ folders beside itself, so the
# libraries and the two folders share a folder of their own,
# <libdir>/quillmark; programs and the pkg-config flags reach it by run path.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(QM_INSTALL_KERNEL_DIR ${CMAKE_INSTALL_LIBDIR}/quillmark)
set(QM_INSTALL_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/quillmark)
set(QM_INSTALL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vellex)
set(qm_kernel_libraries vellex qmbase qmgdi qmuser qmimage)

# Headers are reached by their path from the top ("database/mb_drawing.h"),
# the stand-ins' by their system names (<windows.h>).
target_include_directories(vellex INTERFACE $<INSTALL_INTERFACE:${QM_INSTALL_INCLUDE_DIR}>)
target_include_directories(qmbase INTERFACE $<INSTALL_INTERFACE:${QM_INSTALL_INCLUDE_DIR}/platform>)
target_compile_features(vellex INTERFACE cxx_std_17)
# A program that links a kernel built with the sanitizers needs their run-time
# libraries too.
set(qm_sanitize_link "")
if(QM_SANITIZE)
  set(qm_sanitize_link "-fsanitize=address,undefined")
  target_link_options(vellex INTERFACE $<INSTALL_INTERFACE:${qm_sanitize_link}>)
endif()

set_target_properties(${qm_kernel_libraries} PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS ${qm_kernel_libraries} EXPORT vellexTargets
  LIBRARY DESTINATION ${QM_INSTALL_KERNEL_DIR})

foreach(dir geometry surface database display api)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/${dir}/ DESTINATION ${QM_INSTALL_INCLUDE_DIR}/${dir}
    FILES_MATCHING PATTERN "*.h")
endforeach()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/platform/include/ DESTINATION ${QM_INSTALL_INCLUDE_DIR}/platform
  FILES_MATCHING PATTERN "*.h")
# The exchange libraries' public headers, where their programs include them
# from ("exchange/hpgl/penplot.h"); the libraries go beside the kernel.
install(FILES ${CMAKE_SOURCE_DIR}/exchange/hpgl/penplot.h DESTINATION ${QM_INSTALL_INCLUDE_DIR}/exchange/hpgl)
install(FILES ${CMAKE_SOURCE_DIR}/exchange/markup/markupio.h DESTINATION ${QM_INSTALL_INCLUDE_DIR}/exchange/markup)
install(FILES ${CMAKE_SOURCE_DIR}/exchange/cadbridge/mb_dwg_load_save.h
        DESTINATION ${QM_INSTALL_INCLUDE_DIR}/exchange/cadbridge)

list(TRANSFORM QM_KERNEL_FONTS PREPEND ${CMAKE_SOURCE_DIR}/fonts/ OUTPUT_VARIABLE qm_font_files)
install(FILES ${qm_font_files} DESTINATION ${QM_INSTALL_KERNEL_DIR}/fonts)
# The markup writer fills its template from support/.
install(FILES ${CMAKE_SOURCE_DIR}/support/sample.xml DESTINATION ${QM_INSTALL_KERNEL_DIR}/support)
install(FILES ${QM_PICTURES} ${CMAKE_SOURCE_DIR}/pictures/LICENSE.md DESTINATION ${QM_INSTALL_KERNEL_DIR}/pictures)

# The programs: the renderer of native drawings, the font decompiler and the
# font tool, whose dialog needs the class-library stand-ins beside the kernel.
set_target_properties(qmafx qmole PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS qmafx qmole LIBRARY DESTINATION ${QM_INSTALL_KERNEL_DIR})
# The X display: the window stand-ins load it from their own folder when a
# program opens a display, so no program links it.
if(TARGET qmx11)
  set_target_properties(qmx11 PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS qmx11 LIBRARY DESTINATION ${QM_INSTALL_KERNEL_DIR})
endif()
file(RELATIVE_PATH qm_bin_to_kernel /p/${CMAKE_INSTALL_BINDIR} /p/${QM_INSTALL_KERNEL_DIR})
foreach(program quillmark_render quillmark_plot fontlathe_decompile fontlathe)
  if(TARGET ${program})
    set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN/${qm_bin_to_kernel}")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# The drawing control's container: the control and every library of ours it
# stands on (those the kernel does not bring) go beside the kernel, so the
# control finds the kernel's fonts/ and support/ folders as the kernel does.
function(qm_our_shared_libraries target out)
  set(found "")
  set(todo ${target})
  while(todo)
    list(POP_FRONT todo t)
    get_target_property(direct ${t} LINK_LIBRARIES)
    if(NOT direct)
      continue()
    endif()
    foreach(lib IN LISTS direct)
      if(NOT TARGET ${lib} OR lib IN_LIST found)
        continue()
      endif()
      get_target_property(imported ${lib} IMPORTED)
      if(imported)
        continue()
      endif()
      list(APPEND found ${lib})
      list(APPEND todo ${lib})
    endforeach()
  endwhile()
  set(shared "")
  foreach(lib IN LISTS found)
    get_target_property(type ${lib} TYPE)
    if(type STREQUAL "SHARED_LIBRARY" AND NOT lib IN_LIST qm_kernel_libraries)
      list(APPEND shared ${lib})
    endif()
  endforeach()
  set(${out} ${shared} PARENT_SCOPE)
endfunction()

# The exchange libraries, for programs of their own (quillmark_plot, or a
# user's) as much as for the control.
foreach(lib penplot markupio cadbridge)
  if(TARGET ${lib})
    qm_our_shared_libraries(${lib} qm_exchange_needs)
    list(APPEND qm_exchange_libraries ${lib} ${qm_exchange_needs})
  endif()
endforeach()
if(qm_exchange_libraries)
  list(REMOVE_DUPLICATES qm_exchange_libraries)
  set_target_properties(${qm_exchange_libraries} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${qm_exchange_libraries} LIBRARY DESTINATION ${QM_INSTALL_KERNEL_DIR})
endif()

if(TARGET quillmark_host)
  qm_our_shared_libraries(quillmark_host qm_control_libraries)
  if(qm_exchange_libraries)
    list(REMOVE_ITEM qm_control_libraries ${qm_exchange_libraries})
  endif()
  set_target_properties(${qm_control_libraries} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${qm_control_libraries} LIBRARY DESTINATION ${QM_INSTALL_KERNEL_DIR})
  install(FILES ${CMAKE_SOURCE_DIR}/control/help/help.htm DESTINATION ${QM_INSTALL_KERNEL_DIR})
  set_target_properties(quillmark_host quillmark_register PROPERTIES INSTALL_RPATH "$ORIGIN/${qm_bin_to_kernel}")
  install(TARGETS quillmark_host quillmark_register RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The CMake package: vellex::vellex and the stand-ins it links.
install(EXPORT vellexTargets NAMESPACE vellex:: DESTINATION ${QM_INSTALL_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/vellexConfig.cmake.in
  ${CMAKE_BINARY_DIR}/vellexConfig.cmake INSTALL_DESTINATION ${QM_INSTALL_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/vellexConfigVersion.cmake
  VERSION ${QM_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/vellexConfig.cmake ${CMAKE_BINARY_DIR}/vellexConfigVersion.cmake
  DESTINATION ${QM_INSTALL_CMAKE_DIR})

# The pkg-config file finds the prefix from its own place, so an installed
# tree may be moved.
file(RELATIVE_PATH QM_PC_TO_PREFIX /p/${CMAKE_INSTALL_LIBDIR}/pkgconfig /p)
string(REGEX REPLACE "/$" "" QM_PC_TO_PREFIX "${QM_PC_TO_PREFIX}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/vellex.pc.in ${CMAKE_BINARY_DIR}/vellex.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/vellex.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
