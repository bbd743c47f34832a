varno_add_bench(link_bench link_bench.cpp device board Qt6::Core)

varno_add_bench(tester_rates tester_rates.cpp app Qt6::Widgets)
target_compile_definitions(tester_rates PRIVATE VARNO_BOARD_PROGRAM="$<TARGET_FILE:varnostellion-board>")
add_dependencies(tester_rates varnostellion-board)
