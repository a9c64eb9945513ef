# The libraries of a Windows build, header-only, from the build machine's Debian packages. Only
# their own header folders are put on the include path (through links in the build folder),
# never /usr/include as a whole, whose system headers are the build machine's, not the target's.
set(QUORVANE_HOST_INCLUDE_DIR "/usr/include" CACHE PATH "Where the header-only libraries are")
set(windows_include_dir ${CMAKE_BINARY_DIR}/windows-include)
file(MAKE_DIRECTORY ${windows_include_dir})
foreach(folder nlohmann toml++ fmt)
  if(NOT EXISTS ${QUORVANE_HOST_INCLUDE_DIR}/${folder})
    message(FATAL_ERROR "${QUORVANE_HOST_INCLUDE_DIR}/${folder} not found: run scripts/install-deps.sh")
  endif()
  file(CREATE_LINK ${QUORVANE_HOST_INCLUDE_DIR}/${folder} ${windows_include_dir}/${folder} SYMBOLIC)
endforeach()

function(quorvane_header_library target)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  target_include_directories(${target} SYSTEM INTERFACE ${windows_include_dir})
  target_compile_definitions(${target} INTERFACE ${ARGN})
endfunction()

quorvane_header_library(nlohmann_json::nlohmann_json)
quorvane_header_library(tomlplusplus::tomlplusplus TOML_HEADER_ONLY=1)
quorvane_header_library(fmt::fmt FMT_HEADER_ONLY=1)
