# Every code folder of platform/ and reader/ is a library of its own, and a folder's sources see
# the headers of their own folder and of the folders the target links, nothing else. Headers are
# included as "<folder>/<Header>.h"; each target gets an include root of its own in the build
# tree holding a single link named after its folder (build/include/platform_forms/forms ->
# platform/forms), and that root is the target's public include directory. The parents
# platform/ and reader/ are on no include path, so a header of a folder the target may not use
# is not found and the build stops at the #include.

# tl_folder_target(<target> <folder> [SOURCES <file>...] [PUBLIC <dep>...] [PRIVATE <dep>...])
# <folder> is absolute. Without SOURCES the target holds the folder's *.cpp and *.h, but not the
# window's member functions kept there (Frm_TxtViewer_*.cpp, compiled into the window's target).
# A folder of headers only becomes an INTERFACE library (PRIVATE deps are then not allowed).
# PUBLIC deps are those the folder's headers include; PRIVATE deps only its sources do.
function(tl_folder_target target folder)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SOURCES;PUBLIC;PRIVATE")
  get_filename_component(name ${folder} NAME)
  if(arg_SOURCES)
    set(sources ${arg_SOURCES})
  else()
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    list(FILTER sources EXCLUDE REGEX "/Frm_TxtViewer_[^/]*\\.cpp$")
  endif()
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.cpp$")

  set(root ${CMAKE_BINARY_DIR}/include/${target})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${folder} ${root}/${name} SYMBOLIC)

  if(compiled)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PUBLIC ${arg_PUBLIC} PRIVATE ${arg_PRIVATE})
  else()
    if(arg_PRIVATE)
      message(FATAL_ERROR "${target}: a folder of headers only has no private dependencies")
    endif()
    add_library(${target} INTERFACE ${sources})
    target_include_directories(${target} INTERFACE ${root})
    target_link_libraries(${target} INTERFACE ${arg_PUBLIC})
  endif()
  set_property(GLOBAL APPEND PROPERTY TL_FOLDER_TARGETS ${folder})
endfunction()

# Stops the configuration when a folder of platform/ or reader/ holding sources is no target:
# its files would silently be part of nothing.
function(tl_check_every_folder_is_a_target)
  get_property(known GLOBAL PROPERTY TL_FOLDER_TARGETS)
  file(GLOB found CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/platform/*/*.cpp ${CMAKE_SOURCE_DIR}/platform/*/*.h
       ${CMAKE_SOURCE_DIR}/reader/*/*.cpp ${CMAKE_SOURCE_DIR}/reader/*/*.h)
  foreach(file IN LISTS found)
    get_filename_component(folder ${file} DIRECTORY)
    if(NOT folder IN_LIST known)
      file(RELATIVE_PATH where ${CMAKE_SOURCE_DIR} ${folder})
      message(FATAL_ERROR "${where} holds sources but is no target: give it its own "
                          "tl_folder_target in its parent's CMakeLists.txt")
    endif()
  endforeach()
endfunction()
