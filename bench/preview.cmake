# The preview benchmark: two preview windows driven offscreen at one step per millisecond.
if(TARGET lumafex_gui)
  add_executable(lumafex-bench-preview ${CMAKE_CURRENT_LIST_DIR}/PreviewBench.cpp)
  target_link_libraries(lumafex-bench-preview PRIVATE lumafex_gui)
  target_include_directories(lumafex-bench-preview PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set_target_properties(lumafex-bench-preview PROPERTIES AUTOMOC ON)
endif()
