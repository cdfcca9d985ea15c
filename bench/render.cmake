# The animation export benchmark: the sample project drawn and written as a GIF.
if(TARGET lumafex_gui)
  add_executable(lumafex-bench-render ${CMAKE_CURRENT_LIST_DIR}/RenderBench.cpp)
  target_link_libraries(lumafex-bench-render PRIVATE lumafex_gui)
  target_compile_definitions(lumafex-bench-render PRIVATE LUMAFEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()
# The artwork: a 1920 × 1080 frame with glow, and the sample written as an MP4 at 1280 × 720.
if(TARGET lumafex_gui)
  add_executable(lumafex-bench-artwork ${CMAKE_CURRENT_LIST_DIR}/ArtworkBench.cpp)
  target_link_libraries(lumafex-bench-artwork PRIVATE lumafex_render benchmark::benchmark)
  target_compile_definitions(lumafex-bench-artwork PRIVATE LUMAFEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()
