# Game records are JSON, written and read with nlohmann's JSON library
# (Debian: nlohmann-json3-dev). The library is headers only, so a cross build
# (Windows, WebAssembly), whose own root lacks it, uses the build machine's
# copy: the nlohmann folder alone is staged in the build tree, so that no
# other header of the build machine can come with it. Without any copy the
# library is fetched.
find_package(nlohmann_json 3.10 QUIET CONFIG)
if(NOT nlohmann_json_FOUND)
  find_path(PLOTWRIGHT_HOST_JSON_DIR nlohmann/json.hpp PATHS /usr/include /usr/local/include
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(PLOTWRIGHT_HOST_JSON_DIR)
    file(COPY ${PLOTWRIGHT_HOST_JSON_DIR}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/third_party)
    add_library(plotwright_json INTERFACE)
    target_include_directories(plotwright_json SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/third_party)
    add_library(nlohmann_json::nlohmann_json ALIAS plotwright_json)
  else()
    include(FetchContent)
    FetchContent_Declare(nlohmann_json GIT_REPOSITORY https://github.com/nlohmann/json.git GIT_TAG v3.11.2
                         GIT_SHALLOW TRUE)
    FetchContent_MakeAvailable(nlohmann_json)
  endif()
endif()
