varno_add_bench(grid_paint_bench ${CMAKE_CURRENT_SOURCE_DIR}/grid_paint_bench.cpp display)
