# The native Win32 backend of the window's control layer.
target_sources(quorvel_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/win32_controls_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32_dialogs_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32_support_win.cpp)

# The manifest that selects Common Controls 6. A resource inside a static
# library never reaches the DLL (nothing refers to it), so its object goes to
# every library or program that links quorvel_core.
add_library(quorvel_window_manifest OBJECT ${CMAKE_CURRENT_LIST_DIR}/win32_controls.rc)
target_include_directories(quorvel_window_manifest PRIVATE ${CMAKE_CURRENT_LIST_DIR})
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/win32_controls.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/win32_controls.manifest)
target_sources(quorvel_core INTERFACE $<TARGET_OBJECTS:quorvel_window_manifest>)
